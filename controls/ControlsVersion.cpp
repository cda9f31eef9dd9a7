// Keeps the library non-empty while its components are added one by one.
namespace tavora::controls {
int ControlsLibraryLinked() { return 1; }
} // namespace tavora::controls
