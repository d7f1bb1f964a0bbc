#include "wince/layer.h"

int main(int argc, char** argv) { return wince::runProgram(argc, argv); }
