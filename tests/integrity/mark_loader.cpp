// Loads the mark module the ordinary way (it is linked to it), proving that
// its entry point leaves the mark when it does run.
extern "C" int MarkModuleLoaded();

int main() { return MarkModuleLoaded() == 1 ? 0 : 1; }
