#include "form_fields.h"

#include <regex>

#include "web/text/uri_codec.h"

namespace {

// An attribute's value, quoted or bare; empty when absent.
std::string Attribute(const std::string& tag, const std::string& name) {
  const std::regex pattern("\\s" + name + "=(\"([^\"]*)\"|([^\\s>\"]+))", std::regex::icase);
  std::smatch match;
  if (!std::regex_search(tag, match, pattern)) return "";
  return match[2].matched ? match[2].str() : match[3].str();
}

bool HasWord(const std::string& tag, const std::string& word) {
  return std::regex_search(tag, std::regex("\\s" + word + "(?=[\\s>=])", std::regex::icase));
}

std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&quot;", "\""}, {"&#39;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
  for (const auto& [entity, byte] : kEntities) {
    for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; ++at) {
      text.replace(at, std::char_traits<char>::length(entity), byte);
    }
  }
  return text;
}

}  // namespace

FormFields KavrixFormFields(const std::string& page) {
  FormFields fields;
  static const std::regex kControl("<input\\b[^>]*>|<select\\b[^>]*>[\\s\\S]*?</select>", std::regex::icase);
  for (std::sregex_iterator it(page.begin(), page.end(), kControl), end; it != end; ++it) {
    const std::string control = it->str();
    const std::string tag = control.substr(0, control.find('>') + 1);
    const std::string name = Unescaped(Attribute(tag, "name"));
    if (name.empty() || HasWord(tag, "disabled")) continue;
    if (control.compare(0, 7, "<select") == 0) {
      static const std::regex kOption("<option\\b[^>]*>", std::regex::icase);
      std::string chosen;
      bool first = true;
      for (std::sregex_iterator o(control.begin(), control.end(), kOption); o != end; ++o) {
        const std::string option = o->str();
        if (first || HasWord(option, "selected")) chosen = Unescaped(Attribute(option, "value"));
        first = false;
      }
      fields.emplace_back(name, chosen);
      continue;
    }
    std::string type = Attribute(tag, "type");
    for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (type == "submit" || type == "button" || type == "image") continue;
    const std::string value = Unescaped(Attribute(tag, "value"));
    if (type == "checkbox" || type == "radio") {
      if (HasWord(tag, "checked")) fields.emplace_back(name, value.empty() ? "on" : value);
      continue;
    }
    fields.emplace_back(name, value);
  }
  return fields;
}

std::string KavrixEncodeForm(const FormFields& fields, const std::string& extra) {
  std::string body;
  for (const auto& [name, value] : fields) {
    if (!body.empty()) body += "&";
    body += LURIEncode(name) + "=" + LURIEncode(value);
  }
  if (!extra.empty()) body += (body.empty() ? "" : "&") + extra;
  return body;
}
