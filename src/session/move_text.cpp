#include "session/move_text.h"

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
