// A loadable library that is no widget server.
extern "C" __attribute__((visibility("default"))) int NotAServerAnswer() {
    return 42;
}
