#include "spatial/target_grammar.hpp"

#include <algorithm>
#include <vector>

#include "text/case.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::spatial {
namespace {

constexpr auto relation_search_order =
    vocabulary::longest_first(relation_phrases, [](const RelationPhrase& r) { return r.phrase; });

constexpr std::array<std::string_view, 6> relation_names = {"next_to", "below", "above", "left", "right", "near"};

bool contains(const std::vector<std::string_view>& words, std::string_view word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

bool is_article(std::string_view word) {
  return std::find(vocabulary::articles.begin(), vocabulary::articles.end(), word) != vocabulary::articles.end();
}

std::string join(const std::vector<std::string_view>& words) {
  std::string out;
  for (std::string_view w : words) {
    if (!out.empty()) out += ' ';
    out += w;
  }
  return out;
}

}  // namespace

std::string_view relation_name(Relation r) { return relation_names[static_cast<std::size_t>(r)]; }

std::optional<Relation> relation_from_name(std::string_view name) {
  for (std::size_t i = 0; i < relation_names.size(); ++i)
    if (relation_names[i] == name) return static_cast<Relation>(i);
  return std::nullopt;
}

SpatialTarget parse_target(std::string_view target, std::optional<std::int64_t> implied_ordinal) {
  SpatialTarget out;
  const std::string lowered = text::lower(target);
  const std::string_view s_lower = lowered;
  const std::vector<std::string_view> words = text::split(s_lower);

  // The relation phrase is a plain substring: "thunder" holds "under".
  std::optional<std::string_view> rel_keyword;
  for (const RelationPhrase& r : relation_search_order) {
    if (s_lower.find(r.phrase) != std::string_view::npos) {
      rel_keyword = r.phrase;
      out.relation = r.relation;
      break;
    }
  }

  // Ordinal and type words must be whole words; the table order decides.
  std::optional<std::string_view> ordinal_word;
  for (const OrdinalWord& o : ordinal_words) {
    if (contains(words, o.word)) {
      out.ordinal = o.number;
      ordinal_word = o.word;
      break;
    }
  }
  if (!out.ordinal && implied_ordinal) out.ordinal = implied_ordinal;

  std::optional<std::string_view> type_word;
  for (const TypeKeyword& t : type_keywords) {
    if (contains(words, t.word)) {
      out.type_filter = t.type;
      type_word = t.word;
      break;
    }
  }

  const auto skipped = [&](std::string_view w) { return w == ordinal_word || w == type_word; };

  if (rel_keyword) {
    const std::size_t at = s_lower.find(*rel_keyword);
    std::string_view anchor = text::strip(s_lower.substr(at + rel_keyword->size()));
    // Each article once, in order, without stopping after a removal.
    for (std::string_view article : vocabulary::articles) {
      if (anchor.size() > article.size() && anchor.substr(0, article.size()) == article &&
          anchor[article.size()] == ' ')
        anchor.remove_prefix(article.size() + 1);
    }
    out.anchor_text = std::string(text::strip(anchor));

    std::vector<std::string_view> pre_words;
    for (std::string_view w : text::split(s_lower.substr(0, at)))
      if (!skipped(w)) pre_words.push_back(w);
    if (!pre_words.empty()) out.target_text = join(pre_words);
  }

  if (out.ordinal && !out.has_anchor()) {
    std::vector<std::string_view> relation_words;
    if (rel_keyword) relation_words = text::split(*rel_keyword);
    std::vector<std::string_view> remaining;
    for (std::string_view w : words)
      if (!skipped(w) && !contains(relation_words, w) && !is_article(w)) remaining.push_back(w);
    if (!remaining.empty()) out.search_text = join(remaining);
  }
  return out;
}

void normalize_into(std::string_view text, std::string& out) {
  out.clear();
  const auto keep = [&](char c) {
    if (c != ' ' && c != '-') out += c;
  };
  if (text::is_ascii(text)) {
    for (char c : text) keep(text::ascii_lower(c));
  } else {
    for (char c : text::lower(text)) keep(c);
  }
}

std::string normalize(std::string_view text) {
  std::string out;
  normalize_into(text, out);
  return out;
}

}  // namespace vantor::spatial
