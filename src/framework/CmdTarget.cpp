// Message-map dispatch.
#include "framework/MessageMap.h"

namespace morvex::fw {

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static constexpr MessageMap map{nullptr, {}};
    return &map;
}

bool CCmdTarget::OnCmdMsg(MessageKind kind, const MessageArgs& args, IconHandle* answer) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.kind != kind) {
                continue;
            }
            if (kind == MessageKind::command &&
                (static_cast<unsigned>(entry.id) != args.id || entry.code != args.code)) {
                continue;
            }
            const IconHandle result = entry.call(*this, args);
            if (answer != nullptr) {
                *answer = result;
            }
            return true;
        }
    }
    return false;
}

}  // namespace morvex::fw
