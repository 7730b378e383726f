// qvmigrate: the data converter.
int main(int /*argc*/, char** /*argv*/) {
    return 0;
}
