// korvel-cli's entry point on POSIX systems: the arguments are already the bytes of UTF-8 names.
#include "cli/commands.h"

int main(int argc, char **argv) { return korvel::cli::RunCommandLine(argc, argv); }
