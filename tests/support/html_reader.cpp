#include "support/html_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

constexpr std::string_view kVoid[] = {"br", "input", "img", "meta", "link", "hr", "col", "area", "base", "wbr"};
// Opening the key closes the open element named second, as browsers do.
constexpr std::pair<std::string_view, std::string_view> kImplied[] = {{"p", "p"},           {"tr", "tr"}, {"td", "td"},
                                                                      {"td", "th"},         {"th", "td"}, {"th", "th"},
                                                                      {"option", "option"}, {"li", "li"}};
constexpr std::string_view kSpaced[] = {"br",     "p",  "div", "td", "th", "tr",   "table", "li",
                                        "option", "h1", "h2",  "h3", "ul", "form", "center"};

template <std::size_t N>
bool In(const std::string_view (&list)[N], const std::string& tag) {
  return std::find(std::begin(list), std::end(list), tag) != std::end(list);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string HtmlDecoded(std::string_view text) {
  static const std::map<std::string, std::string> kNamed = {{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                                            {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
    if (end == std::string_view::npos || end - i > 10) {
      out += text[i];
      continue;
    }
    const std::string name(text.substr(i + 1, end - i - 1));
    const bool hex = name.size() > 2 && (name[1] == 'x' || name[1] == 'X');
    char* rest = nullptr;
    const unsigned long code =
        name.size() > 1 && name[0] == '#' ? std::strtoul(name.c_str() + (hex ? 2 : 1), &rest, hex ? 16 : 10) : 0;
    if (rest != nullptr && *rest == '\0' && code > 0 && code < 0x10000) {
      AppendUtf8(out, code);
    } else if (kNamed.count(name)) {
      out += kNamed.at(name);
    } else {
      out += text[i];
      continue;
    }
    i = end;
  }
  return out;
}

std::string HtmlElement::Attribute(const std::string& name) const {
  const auto found = attributes.find(name);
  return found == attributes.end() ? "" : found->second;
}

HtmlPage::HtmlPage(std::string_view html) {
  if (html.rfind("HTTP/", 0) == 0) {
    const std::size_t header = html.find("\r\n\r\n");
    html.remove_prefix(header == std::string_view::npos ? html.size() : header + 4);
  }
  elements_.emplace_back();
  std::vector<std::size_t> open{0};
  std::size_t form = 0;
  const auto add = [&](HtmlElement element) {
    element.form = form;
    elements_.push_back(std::move(element));
    elements_[open.back()].children.push_back(elements_.size() - 1);
    return elements_.size() - 1;
  };
  for (std::size_t at = 0; at < html.size();) {
    if (html[at] != '<' || at + 1 == html.size() ||
        !(std::isalpha(static_cast<unsigned char>(html[at + 1])) || html[at + 1] == '/' || html[at + 1] == '!')) {
      const std::size_t next = std::min(html.size(), html.find('<', at + 1));
      add(HtmlElement{"", HtmlDecoded(html.substr(at, next - at)), {}, {}, 0});
      at = next;
      continue;
    }
    if (html.compare(at, 4, "<!--") == 0) {
      at = std::min(html.size(), html.find("-->", at) + 3);
      continue;
    }
    // A tag: its name, then attributes up to '>', quoted values may hold '>'.
    const bool closing = html[at + 1] == '/';
    std::size_t i = at + (closing ? 2 : 1);
    const auto nameEnd = [&] {
      while (i < html.size() && !std::isspace(static_cast<unsigned char>(html[i])) && html[i] != '>' &&
             html[i] != '=' && !(html[i] == '/' && i + 1 < html.size() && html[i + 1] == '>')) {
        ++i;
      }
    };
    const std::size_t nameStart = i;
    nameEnd();
    HtmlElement element{Lower(std::string(html.substr(nameStart, i - nameStart))), "", {}, {}, 0};
    while (i < html.size() && html[i] != '>') {
      if (std::isspace(static_cast<unsigned char>(html[i])) || html[i] == '/') {
        ++i;
        continue;
      }
      const std::size_t start = i;
      nameEnd();
      std::string name = Lower(std::string(html.substr(start, i - start))), value;
      if (i == start) ++i;
      if (i < html.size() && html[i] == '=') {
        const char quote = ++i < html.size() && (html[i] == '"' || html[i] == '\'') ? html[i] : 0;
        const std::size_t from = quote ? ++i : i;
        while (i < html.size() &&
               (quote ? html[i] != quote : !std::isspace(static_cast<unsigned char>(html[i])) && html[i] != '>')) {
          ++i;
        }
        value = HtmlDecoded(html.substr(from, i - from));
        if (quote) ++i;
      }
      if (!name.empty()) element.attributes.emplace(std::move(name), std::move(value));
    }
    at = std::min(html.size(), i + 1);
    const std::string tag = element.tag;
    if (tag.empty() || tag[0] == '!') continue;
    if (closing) {
      if (tag == "form") form = 0;
      const auto match =
          std::find_if(open.rbegin(), open.rend() - 1, [&](std::size_t e) { return elements_[e].tag == tag; });
      if (match != open.rend() - 1) open.erase(std::prev(match.base()), open.end());
      continue;
    }
    for (const auto& [opening, closes] : kImplied) {
      if (tag == opening && elements_[open.back()].tag == closes) open.pop_back();
    }
    if (tag == "tr" || tag == "td" || tag == "th") {  // a cell or row left open inside a table
      while (open.size() > 1 && elements_[open.back()].tag != "table" &&
             (elements_[open.back()].tag == "td" || elements_[open.back()].tag == "th" ||
              (tag == "tr" && elements_[open.back()].tag == "tr"))) {
        open.pop_back();
      }
    }
    if (tag == "form") forms_.push_back(elements_.size()), form = forms_.size();
    const std::size_t index = add(std::move(element));
    if (tag == "script" || tag == "style" || tag == "textarea") {  // raw text up to the end tag
      const std::size_t end = std::min(html.size() - at, Lower(std::string(html.substr(at))).find("</" + tag)) + at;
      if (tag == "textarea") elements_[index].text = HtmlDecoded(html.substr(at, end - at));
      at = std::min(html.size() - end, html.find('>', end) - end) + end;
      at += at < html.size() ? 1 : 0;
    } else if (!In(kVoid, tag)) {
      open.push_back(index);
    }
  }
}

void HtmlPage::AppendText(const HtmlElement& element, std::string& out) const {
  if (element.tag == "script" || element.tag == "style") return;
  const bool spaced = In(kSpaced, element.tag);
  if (spaced) out += ' ';
  out += element.text;
  for (std::size_t child : element.children) AppendText(elements_[child], out);
  if (spaced) out += ' ';
}

std::string HtmlPage::Text(const HtmlElement& element) const {
  std::string raw, text;
  AppendText(element, raw);
  for (char c : raw) {
    const bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (space && (text.empty() || text.back() == ' ')) continue;
    text += space ? ' ' : c;
  }
  if (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

const HtmlElement* HtmlPage::Find(const std::string& attribute, const std::string& value) const {
  for (const HtmlElement& element : elements_) {
    if (element.Has(attribute) && element.Attribute(attribute) == value) return &element;
  }
  return nullptr;
}

std::vector<const HtmlElement*> HtmlPage::ByTag(const std::string& tag) const {
  std::vector<const HtmlElement*> found;
  for (const HtmlElement& element : elements_) {
    if (element.tag == tag) found.push_back(&element);
  }
  return found;
}

std::vector<std::vector<std::string>> HtmlPage::Rows() const {
  std::vector<std::vector<std::string>> rows;
  for (const HtmlElement* row : ByTag("tr")) {
    std::vector<std::string>& cells = rows.emplace_back();
    for (std::size_t child : row->children) {
      if (elements_[child].tag == "td" || elements_[child].tag == "th") cells.push_back(Text(elements_[child]));
    }
  }
  return rows;
}

bool HtmlPage::HasRow(const std::vector<std::string>& cells) const {
  const auto rows = Rows();
  return std::find(rows.begin(), rows.end(), cells) != rows.end();
}

std::vector<HtmlLink> HtmlPage::Links() const {
  std::vector<HtmlLink> links;
  for (const HtmlElement* link : ByTag("a")) {
    if (link->Has("href")) links.push_back({Text(*link), link->Attribute("href")});
  }
  return links;
}

std::string HtmlPage::Href(const std::string& text) const {
  for (const HtmlLink& link : Links()) {
    if (link.text == text) return link.href;
  }
  return "<none>";
}

void HtmlPage::AddFields(const HtmlElement& element, HtmlFields& fields) const {
  const std::string name = element.Attribute("name");
  if (name.empty() || element.Has("disabled")) return;
  if (element.tag == "textarea") fields.emplace_back(name, element.text);
  if (element.tag == "input") {
    const std::string type = Lower(element.Attribute("type"));
    if (type == "submit" || type == "button" || type == "image" || type == "reset" || type == "file") return;
    const bool box = type == "checkbox" || type == "radio";
    if (box && !element.Has("checked")) return;
    fields.emplace_back(name, box && !element.Has("value") ? "on" : element.Attribute("value"));
  }
  if (element.tag != "select") return;
  std::vector<const HtmlElement*> options, chosen;
  for (std::size_t child : element.children) {
    if (elements_[child].tag == "option") options.push_back(&elements_[child]);
    if (elements_[child].tag == "option" && elements_[child].Has("selected")) chosen.push_back(&elements_[child]);
  }
  if (chosen.empty() && !options.empty()) chosen.push_back(options.front());
  if (chosen.size() > 1 && !element.Has("multiple")) chosen.erase(chosen.begin(), chosen.end() - 1);
  for (const HtmlElement* option : chosen) {
    fields.emplace_back(name, option->Has("value") ? option->Attribute("value") : Text(*option));
  }
}

std::vector<HtmlForm> HtmlPage::Forms() const {
  std::vector<HtmlForm> forms;
  for (std::size_t index : forms_) {
    const std::string method = Lower(elements_[index].Attribute("method"));
    forms.push_back({elements_[index].Attribute("action"), method.empty() ? "get" : method, {}});
  }
  for (const HtmlElement& element : elements_) {
    if (element.form != 0) AddFields(element, forms[element.form - 1].fields);
  }
  return forms;
}

HtmlFields HtmlPage::Fields() const {
  HtmlFields fields;
  for (const HtmlElement& element : elements_) AddFields(element, fields);
  return fields;
}

std::string HtmlPage::Field(const std::string& name) const {
  for (const auto& [field, value] : Fields()) {
    if (field == name) return value;
  }
  return "<absent>";
}
