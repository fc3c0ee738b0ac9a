// The clipboard's "HTML Format" (CF_HTML): a header of byte offsets, then an HTML document whose
// fragment is what was copied. Nodes go out as a bookmark-file fragment (folders as headings
// with lists, links as anchors, popups as descriptions), so that a word processor, a mail program
// or a browser's bookmark manager receives links; fragments come in as bookmark files are read.
#pragma once

#include "transfer/node_bundle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CStreamable;

// The whole clipboard text, UTF-8: the header with StartHTML, EndHTML, StartFragment and
// EndFragment exact, and the nodes' fragment between the fragment comments.
std::string WriteHtmlClipboard(std::int32_t kind, const std::vector<CStreamable*>& nodes);

// Reads a CF_HTML text from any program. The fragment (by its offsets, else by its comments,
// else the whole HTML) is read as the bookmark import reads a file: anchors outside folders give
// link items (caption: the anchor's text, trimmed with white space collapsed, or the address);
// folders give groups when each holds only links, otherwise columns. Addresses relative to the
// header's SourceURL are made absolute. Text keeps its markup. False when no link was read.
bool ReadHtmlClipboard(std::string_view bytes, CNodeBundle& bundle);

// The fragment's byte range as the header gives it; false when the offsets are missing or
// do not fit the bytes. For tests and the reader.
bool FragmentRange(std::string_view bytes, std::size_t& start, std::size_t& end);
