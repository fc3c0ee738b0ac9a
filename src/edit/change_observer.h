// What the change path tells the window about each change it makes to the project, so that the
// window refreshes only what changed.
#pragma once

#include "edit/site.h"

#include <cstdint>

class CStreamable;

class IChangeObserver
{
public:
    virtual ~IChangeObserver() = default;

    // A text, value or row list of `site.node` changed; its label may have.
    virtual void NodeChanged(const CSite& site) = 0;
    // `node` with everything below it is about to leave the tree; it is not destroyed.
    virtual void NodeRemoving(std::int32_t kind, CStreamable* node) = 0;
    // `node` with everything below it was put into the tree at its place.
    virtual void NodeInserted(std::int32_t kind, CStreamable* node) = 0;
    // `node` was moved to another place, under the same parent or another one.
    virtual void NodeMoved(std::int32_t kind, CStreamable* node) = 0;
    // An undo or redo has ended; `site` is where it acted.
    virtual void StepShown(const CSite& site) = 0;
};
