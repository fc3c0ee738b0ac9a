// Random projects for the round-trip property tests: every node kind, non-ASCII text, popups,
// dividers, selects, hidden fields and, where they are written back, kept chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

class CProject;

struct RandomProjectOptions
{
    // Add unrecognised chunks to the nodes that write them back.
    bool keptChunks = true;
    // Only what a homepage can carry back unchanged: no "<" or ">" in texts, captions without
    // surrounding white space, no empty further links, select options with values, ...
    bool pageSafe = false;
    // Give some link items a site icon, of every kept type.
    bool icons = false;
    // Give some columns a tab, from a few names shared among them.
    bool tabs = false;
};

void BuildRandomProject(CProject& project, std::mt19937& random,
                        const RandomProjectOptions& options = RandomProjectOptions());

// Every field of every node as text (the command-line dump): equal dumps mean equal projects,
// popup numbers aside.
std::string DumpText(const CProject& project);

// The links of all link items, main and further ones.
std::size_t CountLinks(const CProject& project);

// What a page cannot carry exactly: a popup read back from it has gained the line break after its
// cell. Adds that line break to every popup, so that the project compares equal to its page's.
void AddPopupLineBreaksAsAPageGivesThem(CProject& project);
