#include "xboard/xboard.h"

int main(int argc, char** argv) { return xboardMain(argc, argv); }
