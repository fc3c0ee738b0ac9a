// Writes seed inputs for the fuzzers: project files of random projects, and (for the importer)
// the pages generated from them.
#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "random_project.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "project") && std::strcmp(argv[1], "page"))) {
        std::fprintf(stderr, "usage: make_seeds project|page FOLDER\n");
        return 2;
    }
    bool pages = std::strcmp(argv[1], "page") == 0;
    std::string folder = argv[2];
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        CProject project;
        RandomProjectOptions options;
        options.pageSafe = pages && i % 2 == 0;
        BuildRandomProject(project, random, options);
        std::string path = folder + "/seed-" + std::to_string(i) + (pages ? ".html" : ".quil");
        CFileStream file(FromUtf8(path), true);
        if (pages) {
            WritePage(project, file);
        } else {
            CStructStream writer(file);
            project.Save(writer);
        }
        if (!file.Close()) return 1;
    }
    return 0;
}
