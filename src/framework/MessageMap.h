// Message maps: which handler runs for which command, notification or window message,
// checked in the order written, then in the base class's map.
#pragma once

#include <span>

#include "framework/Constants.h"
#include "framework/Template.h"

namespace morvex::fw {

class CCmdTarget;

enum class MessageKind {
    command,        // a control's notification, or a command such as IDOK or ID_HELP
    sysCommand,     // a system-menu command
    paint,          // painting (Win32 routes it; other backends paint themselves)
    queryDragIcon,  // the drag-icon query of a minimized window
};

struct MessageArgs {
    unsigned id = 0;
    int code = 0;
    long param = 0;
};

struct MessageMapEntry {
    MessageKind kind = MessageKind::command;
    int id = 0;
    int code = 0;
    // Calls the handler on the target; the icon is the drag-icon query's answer.
    IconHandle (*call)(CCmdTarget& target, const MessageArgs& args) = nullptr;
};

struct MessageMap {
    const MessageMap* base = nullptr;
    std::span<const MessageMapEntry> entries;
};

// Something that receives commands through its message map.
class CCmdTarget {
  public:
    virtual ~CCmdTarget() = default;

    // Runs the first matching entry of this object's map chain; false when none matches.
    bool OnCmdMsg(MessageKind kind, const MessageArgs& args, IconHandle* answer = nullptr);

    // This class's own map; the chain ends here.
    static const MessageMap* GetThisMessageMap();

  protected:
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }
};

namespace detail {
template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
};
}  // namespace detail

// Map entries. `Handler` is a pointer to a member function of the class whose map it is:
//   static constexpr MessageMapEntry kEntries[] = {
//       OnClicked<&CSetupDlg::OnRefer>(IDC_REFER), ...};

template <auto Handler>
constexpr MessageMapEntry OnCommand(int id, int code) {
    using Class = typename detail::MemberOf<decltype(Handler)>::Class;
    return {MessageKind::command, id, code,
            [](CCmdTarget& target, const MessageArgs&) -> IconHandle {
                (static_cast<Class&>(target).*Handler)();
                return nullptr;
            }};
}

template <auto Handler>
constexpr MessageMapEntry OnClicked(int id) {
    return OnCommand<Handler>(id, BN_CLICKED);
}

template <auto Handler>
constexpr MessageMapEntry OnSelChange(int id) {
    return OnCommand<Handler>(id, LBN_SELCHANGE);
}

// Handler: void OnSysCommand(unsigned id, long param).
template <auto Handler>
constexpr MessageMapEntry OnSysCommandMessage() {
    using Class = typename detail::MemberOf<decltype(Handler)>::Class;
    return {MessageKind::sysCommand, 0, 0,
            [](CCmdTarget& target, const MessageArgs& args) -> IconHandle {
                (static_cast<Class&>(target).*Handler)(args.id, args.param);
                return nullptr;
            }};
}

// Handler: void OnPaint().
template <auto Handler>
constexpr MessageMapEntry OnPaintMessage() {
    using Class = typename detail::MemberOf<decltype(Handler)>::Class;
    return {MessageKind::paint, 0, 0, [](CCmdTarget& target, const MessageArgs&) -> IconHandle {
                (static_cast<Class&>(target).*Handler)();
                return nullptr;
            }};
}

// Handler: IconHandle OnQueryDragIcon().
template <auto Handler>
constexpr MessageMapEntry OnQueryDragIconMessage() {
    using Class = typename detail::MemberOf<decltype(Handler)>::Class;
    return {MessageKind::queryDragIcon, 0, 0,
            [](CCmdTarget& target, const MessageArgs&) -> IconHandle {
                return (static_cast<Class&>(target).*Handler)();
            }};
}

}  // namespace morvex::fw
