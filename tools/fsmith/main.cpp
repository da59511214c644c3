#include <cstdio>

int main() {
    std::puts("fsmith: the 3DFieldsmith file tool");
    return 0;
}
