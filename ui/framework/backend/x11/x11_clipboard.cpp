// The X11 backend's clipboard: the CLIPBOARD selection. Copying takes the selection for an unmapped
// window of ours and answers other clients' requests for TARGETS, UTF8_STRING, TEXT and STRING; pasting
// asks the owner for UTF8_STRING (then STRING) and waits, with a time-out, for the answer on the same
// window, also when it comes in increments (INCR).

#include <X11/Xatom.h>
#include <algorithm>
#include <cerrno>
#include <poll.h>

#include "core/wide_text.h"
#include "ui/framework/backend/x11/x11_window_backend.h"

namespace {

// A paste larger than this is cut here: no edit box takes more, and an owner must not make us grow
// without bound.
constexpr size_t kMaxPasteBytes = 4u << 20;

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::wstring wide;
    wide.reserve(latin1.size());
    for (unsigned char c : latin1)
        wide += static_cast<wchar_t>(c);
    return WideToUtf8(wide);
}

std::string Utf8ToLatin1(const std::string& utf8)
{
    std::string out;
    for (wchar_t c : Utf8ToWide(utf8))
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

// Cuts at the last whole UTF-8 sequence within limit bytes.
void TrimUtf8(std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

} // namespace

Window X11Backend::SelectionWindow()
{
    if (!m_display)
        return 0;
    if (!m_selectionWindow) {
        auto atom = [this](const char* name) { return XInternAtom(m_display, name, False); };
        m_clip = ClipboardAtoms{atom("CLIPBOARD"), atom("TARGETS"), atom("INCR"), atom("TEXT"),
                                atom("_KELVO_CLIPBOARD")};
        m_selectionWindow = XCreateSimpleWindow(m_display, m_root, -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(m_display, m_selectionWindow, PropertyChangeMask);
    }
    return m_selectionWindow;
}

bool X11Backend::SetClipboardText(const std::string& utf8)
{
    const Window window = SelectionWindow();
    if (!window)
        return false;
    m_clipboardText = utf8;
    XSetSelectionOwner(m_display, m_clip.clipboard, window, m_lastInputTime);
    m_ownsClipboard = XGetSelectionOwner(m_display, m_clip.clipboard) == window;
    XFlush(m_display);
    return m_ownsClipboard;
}

void X11Backend::HandleSelectionClear(const XSelectionClearEvent& event)
{
    if (event.window == m_selectionWindow && event.selection == m_clip.clipboard) {
        m_ownsClipboard = false;
        m_clipboardText.clear();
    }
}

void X11Backend::HandleSelectionRequest(const XSelectionRequestEvent& request)
{
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None; // refused unless answered below
    // Clients from before the property field was used name none; the target then stands in.
    const Atom property = request.property != None ? request.property : request.target;
    const bool ours =
        m_selectionWindow && request.owner == m_selectionWindow && request.selection == m_clip.clipboard;
    // A text too large for one request would need an incremental answer; no edit box holds that much.
    long maxBytes = XExtendedMaxRequestSize(m_display);
    if (maxBytes == 0)
        maxBytes = XMaxRequestSize(m_display);
    const size_t limit = static_cast<size_t>(maxBytes) * 4 - 256;
    auto put = [&](Atom type, const std::string& bytes) {
        if (bytes.size() > limit)
            return;
        XChangeProperty(m_display, request.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        reply.xselection.property = property;
    };
    if (ours && m_ownsClipboard) {
        if (request.target == m_clip.targets) {
            const Atom targets[] = {m_clip.targets, m_atoms.utf8String, m_clip.text, XA_STRING};
            XChangeProperty(m_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 4);
            reply.xselection.property = property;
        } else if (request.target == m_atoms.utf8String || request.target == m_clip.text) {
            put(m_atoms.utf8String, m_clipboardText);
        } else if (request.target == XA_STRING) {
            put(XA_STRING, Utf8ToLatin1(m_clipboardText));
        }
    }
    XSendEvent(m_display, request.requestor, False, NoEventMask, &reply);
    XFlush(m_display);
}

bool X11Backend::WaitForSelectionEvent(int type, int64_t deadline, XEvent& out)
{
    for (;;) {
        while (XCheckTypedWindowEvent(m_display, m_selectionWindow, type, &out)) {
            if (type != PropertyNotify ||
                (out.xproperty.atom == m_clip.transfer && out.xproperty.state == PropertyNewValue))
                return true;
        }
        const int64_t left = deadline - m_clock.NowMs();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(std::min<int64_t>(left, 100))) < 0 && errno != EINTR)
            return false;
    }
}

std::optional<std::string> X11Backend::ReadTransfer(Atom target, int64_t deadline)
{
    XDeleteProperty(m_display, m_selectionWindow, m_clip.transfer);
    XConvertSelection(m_display, m_clip.clipboard, target, m_clip.transfer, m_selectionWindow,
                      m_lastInputTime);
    XFlush(m_display);
    XEvent event;
    if (!WaitForSelectionEvent(SelectionNotify, deadline, event) || event.xselection.property == None)
        return std::nullopt;

    // Reads (and deletes, which tells an incremental owner to send the next part) the property.
    auto take = [this](Atom& type, std::string& into) {
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        type = None;
        if (XGetWindowProperty(m_display, m_selectionWindow, m_clip.transfer, 0, 0x1FFFFFFF, True,
                               AnyPropertyType, &type, &format, &count, &after, &data) != Success)
            return false;
        if (data && format == 8 && type != m_clip.incr && into.size() < kMaxPasteBytes)
            into.append(reinterpret_cast<const char*>(data), count);
        if (data)
            XFree(data);
        return count > 0 || type == m_clip.incr;
    };
    std::string text;
    Atom type = None;
    take(type, text);
    if (type == m_clip.incr) {
        // Each new value of the property is the next part; an empty one ends the transfer.
        text.clear();
        for (;;) {
            if (!WaitForSelectionEvent(PropertyNotify, deadline, event))
                return std::nullopt;
            if (!take(type, text))
                break;
        }
    }
    TrimUtf8(text, kMaxPasteBytes);
    if (type == XA_STRING)
        return Latin1ToUtf8(text);
    return text;
}

std::optional<std::string> X11Backend::GetClipboardText(int timeoutMs)
{
    if (!SelectionWindow())
        return std::nullopt;
    const Window owner = XGetSelectionOwner(m_display, m_clip.clipboard);
    if (owner == None)
        return std::nullopt;
    if (owner == m_selectionWindow && m_ownsClipboard)
        return m_clipboardText;
    const int64_t deadline = m_clock.NowMs() + std::max(timeoutMs, 0);
    if (auto text = ReadTransfer(m_atoms.utf8String, deadline))
        return text;
    return ReadTransfer(XA_STRING, deadline);
}
