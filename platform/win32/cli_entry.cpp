// korvel-cli's entry point on Windows, which passes the command line as UTF-16; inside, names are UTF-8, and
// the standard streams carry scripts, images and streams byte for byte (no CR inserted before LF).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "reader/file_path.h"

int wmain(int argc, wchar_t **wideArgv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(korvel::Utf8Of(std::filesystem::path(wideArgv[i])));
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return korvel::cli::RunCommandLine(argc, argv.data());
}
