// The program's entry point: the front end starts up and runs the main routine.
#include "app/shell.h"
#include "ui/window.h"

int main(int argc, char** argv) { return RunFrontEnd(argc, argv, MainRoutine); }
