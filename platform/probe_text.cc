// Writing --probe's findings (see probe_text.h).
#include "platform/probe_text.h"

namespace {

// A JSON string: the text with quotes, backslashes and control characters escaped.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace

int writeProbe(std::FILE* out, bool json, const std::vector<ProbeRoute>& routes,
               std::string_view note) {
  const ProbeRoute* taken = nullptr;
  for (const ProbeRoute& route : routes) {
    if (route.taken) taken = &route;
  }
  if (json) {
    std::string text =
        "{\"route\":" + (taken ? quoted(taken->name) : std::string("null")) + ",\"tried\":[";
    for (std::size_t i = 0; i < routes.size(); ++i) {
      const ProbeRoute& route = routes[i];
      if (i > 0) text += ',';
      text += "{\"route\":" + quoted(route.name) +
              ",\"taken\":" + (route.taken ? "true" : "false") + "," +
              (route.taken ? "\"can\":" : "\"reason\":") + quoted(route.text) + "}";
    }
    text += "]}\n";
    std::fputs(text.c_str(), out);
  } else {
    for (const ProbeRoute& route : routes) {
      std::fprintf(out, "%-8s %s: %s\n", route.name.c_str(), route.taken ? "taken" : "passed over",
                   route.text.c_str());
    }
    if (!taken) std::fputs("No route reaches this desktop: the agent would post nowhere.\n", out);
    if (!note.empty()) std::fprintf(out, "%.*s\n", static_cast<int>(note.size()), note.data());
  }
  return taken ? 0 : 1;
}
