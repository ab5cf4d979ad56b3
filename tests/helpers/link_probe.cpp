// A shared library that an update installs behind a chain of links; a test
// loads it through the chain and asks it what it is.
extern "C" __attribute__((visibility("default"))) const char* LinkProbeName() { return "link probe"; }
