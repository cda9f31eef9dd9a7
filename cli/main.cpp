#include "cli/ConvertCommand.h"

int main(int argc, char** argv) {
    return tavora::cli::RunConvertCommand(argc, argv);
}
