#include "apps/HeadlessDriver.h"

int main(int argc, char** argv) { return almanouk::runHeadlessDriver(argc, argv); }
