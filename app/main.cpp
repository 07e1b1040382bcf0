// The program: the application object runs start-up, the event loop and the tear-down.
#include "app/VRX530.h"

CVRX530App theApp;

int main(int argc, char *argv[])
{
    return theApp.Run(argc, argv);
}
