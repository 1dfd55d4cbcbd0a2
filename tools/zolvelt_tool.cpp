#include <cstdio>
#include <cstring>

namespace {

int usage() {
    std::fputs(
        "usage: zolvelt-tool <command> [options]\n"
        "commands: replay, simulate, report, templates\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return usage();
    std::fprintf(stderr, "zolvelt-tool: unknown command '%s'\n", argv[1]);
    return usage();
}
