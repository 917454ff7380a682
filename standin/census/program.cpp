// A stand-in program of the installation: it only carries a version
// resource for the census to read.
int main() {
    return 0;
}
