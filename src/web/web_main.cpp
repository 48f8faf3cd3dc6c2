// The module's bindings are registered by web_module.cpp; the page calls them, so there
// is nothing to run at start.
int main() {
  return 0;
}
