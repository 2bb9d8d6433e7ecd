#include <iostream>

#include "edsctl.h"

int main(int argc, char** argv) {
    return eds::cli::RunEdsctl(argc, argv, std::cout, std::cerr);
}
