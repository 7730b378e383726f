// qv2012v: the main program. main() only reads the command line, picks the
// terminal backend and hands over to MAIN.
#include <cstdio>

int main(int /*argc*/, char** /*argv*/) {
    return 0;
}
