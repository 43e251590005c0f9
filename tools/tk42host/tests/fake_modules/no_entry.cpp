// A loadable module that is no plug-in: it exports no entry point.
extern "C" int tk42hostNotAPlugin() {
    return 42;
}
