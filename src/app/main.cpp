// The program's entry: the one application object, started by the framework.
#include "app/SetupApp.h"

morvex::app::CSetupApp theApp;

int main(int argc, char** argv) {
    return morvex::fw::AfxWinMain(argc, argv);
}
