// What the window-side timing programs share: clocks, the message pump, a timed loop that prints
// its figures, and the tree view calls they time against.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// Wall time in milliseconds.
double Now();
// This thread's processor time so far, in milliseconds: other processes on a busy machine do not
// count. Wine counts it in ticks, so only a mean over many runs tells.
double ThreadTime();
// Handles every message waiting for this thread.
void Pump();

double Median(std::vector<double> values);
double Mean(const std::vector<double>& values);

// Runs `step` `count` times, with the messages it leaves handled between runs, and prints the
// fastest, median and slowest wall time and the mean processor time of this thread.
void Report(const char* what, int count, const std::function<void(int)>& step);

// Appends an item as the editor's tree does.
HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text);
void SetTreeItemText(HWND tree, HTREEITEM item, const wchar_t* text);

// The user's Documents folder (here, apart from the program's own headers: the shell's header
// clashes with Shell()).
std::wstring UserDocumentsFolder();
