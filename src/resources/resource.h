// Resource numbers, control ids and command ids, shared by quillomere.rc and the code.
#pragma once

#define IDI_QUILLOMERE 114
