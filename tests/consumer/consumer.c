/* Opens the FRD file given and prints its point, cell and step counts. */
#include <kovan.h>
#include <stdio.h>

int main(int argc, char** argv) {
    kovan_document* doc = NULL;
    kovan_status status;
    if (argc != 2 || kovan_abi_version() != KOVAN_ABI_VERSION) return 2;
    status = kovan_open(argv[1], &doc);
    if (status != KOVAN_OK) {
        fprintf(stderr, "%s: %s\n", kovan_status_message(status), kovan_last_error(NULL));
        return 1;
    }
    printf("points %llu cells %llu steps %llu\n", (unsigned long long)kovan_n_points(doc),
           (unsigned long long)kovan_n_cells(doc), (unsigned long long)kovan_n_steps(doc));
    kovan_close(doc);
    return 0;
}
