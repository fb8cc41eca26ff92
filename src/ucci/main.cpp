#include "ucci/ucci.h"

int main(int argc, char** argv) { return ucciMain(argc, argv); }
