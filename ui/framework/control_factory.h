#pragma once
// Creation of controls by class name. The table holds every name the library answers to, in the fixed
// order in which names are compared (case-sensitive, whole name), with where each class may be made
// (by a window, by a panel) and its constructor. A class whose constructor is null is not built yet and
// creates nothing.
//
// The constructor maps the two trailing flags a and b of CreateControl to the class's own constructor:
// for MControlFont families (visible = a, enabled = b) with response 1, for single-flag classes
// visible = a with enabled and response 1; the title is passed only to classes that take one. Adding a
// class means filling in its constructor in control_factory.cpp.

#include <memory>
#include <span>

#include "core/geometry.h"

class MControl;
class MObject;

enum ControlMaker : unsigned {
    kMadeByWindow = 1,
    kMadeByPanel = 2,
};

using ControlConstructor = std::unique_ptr<MControl> (*)(MObject* parent, unsigned id, CRect rect,
                                                         const wchar_t* title, int a, int b);

struct ControlClass {
    const wchar_t* name;
    unsigned makers; // ControlMaker bits
    ControlConstructor construct;
};

// The table, in comparison order.
std::span<const ControlClass> ControlClasses();

// The first class of that exact name, constructed when `maker` may make it; null otherwise.
std::unique_ptr<MControl> CreateControlByName(const wchar_t* className, ControlMaker maker, MObject* parent,
                                              unsigned id, CRect rect, const wchar_t* title, int a, int b);

// Replaces the constructor of a name in the table (a program's own class under a library name, or a
// test's stand-in); returns the previous one. Unknown names change nothing and return null.
ControlConstructor SetControlConstructor(const wchar_t* className, ControlConstructor construct);
