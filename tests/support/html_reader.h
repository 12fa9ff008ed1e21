#pragma once
// Reads a page as a browser would and answers what a test asks of it: the
// text a person sees, the rows of its tables, its links and what each form
// sends. Tolerant of the panel's markup: unclosed <p>, <td> and <option>,
// void tags, bare attribute values, entities.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using HtmlFields = std::vector<std::pair<std::string, std::string>>;

struct HtmlElement {
  std::string tag;                                // lower case; empty for a run of text
  std::string text;                               // a run of text, entities decoded
  std::map<std::string, std::string> attributes;  // names lower case, values decoded
  std::vector<std::size_t> children;
  std::size_t form = 0;  // 1 + index of the form it belongs to, 0 for none

  bool Has(const std::string& name) const { return attributes.count(name) != 0; }
  std::string Attribute(const std::string& name) const;
};

struct HtmlLink {
  std::string text;
  std::string href;
};

struct HtmlForm {
  std::string action;
  std::string method;  // lower case, "get" when absent
  HtmlFields fields;   // in page order, as the browser sends them
};

class HtmlPage {
 public:
  // `html` may be a whole HTTP answer: the header is skipped.
  explicit HtmlPage(std::string_view html);

  // What a person reads, whitespace runs as one space.
  std::string Text() const { return Text(elements_[0]); }
  std::string Text(const HtmlElement& element) const;
  const HtmlElement* ById(const std::string& id) const { return Find("id", id); }
  const HtmlElement* ByName(const std::string& name) const { return Find("name", name); }
  std::vector<const HtmlElement*> ByTag(const std::string& tag) const;
  // Every table row as the texts of its cells.
  std::vector<std::vector<std::string>> Rows() const;
  bool HasRow(const std::vector<std::string>& cells) const;
  std::vector<HtmlLink> Links() const;
  // The href of the first link reading `text`, or "<none>".
  std::string Href(const std::string& text) const;
  std::vector<HtmlForm> Forms() const;
  // The successful controls of every form of the page, in page order.
  HtmlFields Fields() const;
  // The value the forms send for `name`, or "<absent>".
  std::string Field(const std::string& name) const;

 private:
  const HtmlElement* Find(const std::string& attribute, const std::string& value) const;
  void AppendText(const HtmlElement& element, std::string& out) const;
  void AddFields(const HtmlElement& element, HtmlFields& fields) const;

  std::vector<HtmlElement> elements_;  // [0] the document
  std::vector<std::size_t> forms_;
};

// Entities decoded: the named ones the pages write and numeric ones.
std::string HtmlDecoded(std::string_view text);
