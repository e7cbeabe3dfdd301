#pragma once
// Which controls of a window show which text id, so that a language change can set every text again
// from the same id its builder used. Controls are found by id at each application, so a control that
// is gone (or a class that is not built) is skipped.

#include <vector>

class MDialog;

class TextBindings {
public:
    enum class Kind { Title, Tooltip };

    void Bind(unsigned controlId, int textId, Kind kind = Kind::Title);
    // The id bound to a control's title (or tooltip); 0 when none.
    int TextIdOf(unsigned controlId, Kind kind = Kind::Title) const;
    // Sets every bound text on the window's controls, in the order bound.
    void Apply(MDialog& window) const;
    // Sets one control's text now and remembers the id.
    void BindAndApply(MDialog& window, unsigned controlId, int textId, Kind kind = Kind::Title);

private:
    struct Binding {
        unsigned controlId;
        int textId;
        Kind kind;
    };
    static void ApplyOne(MDialog& window, const Binding& binding);

    std::vector<Binding> m_bindings;
};
