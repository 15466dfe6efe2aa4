#include "startup.h"

// The command line is deliberately not looked at.
int main() {
    return vostrel::runVostrel();
}
