// Writes the benchmarks' synthetic homepage and its project file to disk, so that the command
// line can be timed as a whole process on the same input:
//   write_bench_files PAGE.html PROJECT.quil [PAGE_BYTES]   (default: 10 MB)
#include "synthetic.h"

#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: write_bench_files PAGE.html PROJECT.quil [PAGE_BYTES]\n");
        return 2;
    }
    std::size_t bytes = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 10u << 20;
    CProject project;
    std::size_t size = LoadSyntheticProjectOfPageSize(project, bytes);
    CFileStream page(FromUtf8(argv[1], std::strlen(argv[1])), true);
    WritePage(project, page);
    if (!page.Close()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (!SaveProjectFile(project, FromUtf8(argv[2], std::strlen(argv[2])))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu page bytes\n", size);
    return 0;
}
