#include "board/position.h"
#include "board/notation.h"
#include "board/tables.h"

void moveToText(int move, char* text) {
    text[0] = static_cast<char>('a' - 3 + (move & 15));
    text[1] = static_cast<char>('0' + 12 - ((move >> 4) & 15));
    text[2] = static_cast<char>('a' - 3 + ((move >> 8) & 15));
    text[3] = static_cast<char>('0' + 12 - ((move >> 12) & 15));
}

// The characters count as signed bytes, as front ends have always sent them.
int textToSquare(const char* text) {
    int column = static_cast<signed char>(text[0]) - 'a' + 3;
    int row = 12 - (static_cast<signed char>(text[1]) - '0');
    int square = 16 * row + column;
    if (square < 0 || square > 255 || !InBoard[square]) return -1;
    return square;
}

int textToMove(const char* text) {
    int source = textToSquare(text);
    int destination = textToSquare(text + 2);
    if (source < 0 || destination < 0) return 0;
    return makeMoveValue(source, destination);
}

MoveText moveText(int move) {
    MoveText text;
    moveToText(move, text.text);
    text.text[4] = '\0';
    return text;
}

int appendMoves(char* text, int length, int size, const Move* moves) {
    for (int i = 0; moves[i] != 0 && length + 6 <= size; i++) {
        text[length++] = ' ';
        moveToText(moves[i], text + length);
        length += 4;
    }
    text[length] = '\0';
    return length;
}

int mateMoves(int score) {
    if (score > RuleBound) return (MateValue - score + 1) / 2;
    if (score < -RuleBound) return -(MateValue + score) / 2;
    return 0;
}
