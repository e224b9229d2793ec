// Opens the FRD file given and prints its point, cell and step counts.
#include <kovan.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    kovan_document* raw = nullptr;
    if (kovan_open(argv[1], &raw) != KOVAN_OK) return 1;
    const std::unique_ptr<kovan_document, void (*)(kovan_document*)> doc(raw, kovan_close);
    std::printf("points %llu cells %llu steps %llu\n", static_cast<unsigned long long>(kovan_n_points(doc.get())),
                static_cast<unsigned long long>(kovan_n_cells(doc.get())),
                static_cast<unsigned long long>(kovan_n_steps(doc.get())));
    return 0;
}
