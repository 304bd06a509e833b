#include "tools/tool_host.h"

namespace tools {
namespace {
ToolHost gDefault;
ToolHost* gHost = nullptr;
}  // namespace

ToolHost& toolHost() { return gHost ? *gHost : gDefault; }
void installToolHost(ToolHost* h) { gHost = h; }

}  // namespace tools
