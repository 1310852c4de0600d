// A recursive-descent reader of the filter language over the expression's
// characters (decoded from UTF-8, so that a hint's place counts characters
// as the user sees them).
#include "filter/filter.h"
#include "filter/filter_texts.h"
#include "loconet/findings.h"

#include <algorithm>
#include <optional>

namespace bl::filter {

namespace {

std::u32string decode_utf8(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80         ? 0
                          : (c >> 5) == 6  ? 1
                          : (c >> 4) == 14 ? 2
                          : (c >> 3) == 30 ? 3
                                           : -1;
        if (extra < 0 || (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size())) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        auto cp = static_cast<char32_t>(extra == 0 ? c : c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) |
                 static_cast<char32_t>(
                     static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool blank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r'; }
bool special(char32_t c) {
    return blank(c) || c == U'(' || c == U')' || c == U'=' || c == U',' || c == U'!' || c == U'"' ||
           c == U'&' || c == U'|' || c == U'\u201E' || c == U'\u201C';
}
char32_t lower_ascii(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; }

bool same_word(std::u32string_view word, std::string_view keyword) {
    if (word.size() != keyword.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower_ascii(word[i]) != static_cast<char32_t>(keyword[i]))
            return false;
    return true;
}

struct FieldSpec {
    std::string_view name;
    Filter::Kind kind;
    int lowest;
    int highest;
    bool hex;
};
constexpr FieldSpec kFields[] = {
    {"lok", Filter::Kind::Loco, 0, 16383, false},
    {"slot", Filter::Kind::Slot, 0, 1023, false},
    {"weiche", Filter::Kind::Turnout, 1, 4096, false},
    {"rm", Filter::Kind::Sensor, 1, 4096, false},
    {"opcode", Filter::Kind::Opcode, 0x80, 0xFF, true},
};

struct Failure {
    ParseError error;
};

} // namespace

class Parser {
public:
    explicit Parser(std::u32string text) : s_(std::move(text)) {}

    std::variant<Filter, ParseError> run() {
        skip_blanks();
        if (at_end())
            return std::move(f_);
        try {
            f_.root_ = expression();
            skip_blanks();
            if (!at_end()) {
                if (s_[at_] == U')')
                    fail(at_, texts::kUnopenedBracket);
                fail(at_, texts::kOperatorMissing);
            }
        } catch (const Failure &failure) {
            return failure.error;
        }
        return std::move(f_);
    }

private:
    [[noreturn]] void fail(std::size_t at, std::string hint) {
        throw Failure{{at, std::move(hint)}};
    }

    bool at_end() const { return at_ >= s_.size(); }
    void skip_blanks() {
        while (!at_end() && blank(s_[at_]))
            ++at_;
    }
    // The word at the cursor (not taken), empty where a sign stands.
    std::u32string_view peek_word() const {
        std::size_t end = at_;
        while (end < s_.size() && !special(s_[end]))
            ++end;
        return std::u32string_view(s_).substr(at_, end - at_);
    }
    bool take_operator(std::string_view word, std::u32string_view sign) {
        skip_blanks();
        if (std::u32string_view(s_).substr(at_, sign.size()) == sign) {
            at_ += sign.size();
            return true;
        }
        const std::u32string_view w = peek_word();
        if (same_word(w, word)) {
            at_ += w.size();
            return true;
        }
        return false;
    }
    int add(Filter::Node node) {
        f_.nodes_.push_back(std::move(node));
        return static_cast<int>(f_.nodes_.size()) - 1;
    }
    int binary(Filter::Kind kind, int left, int right) {
        Filter::Node n(kind);
        n.left = left;
        n.right = right;
        return add(std::move(n));
    }
    // after an operator: something must follow
    void expect_operand(std::string_view op) {
        skip_blanks();
        if (at_end())
            fail(at_, texts::nothing_after(op));
        if (s_[at_] == U')')
            fail(at_, texts::nothing_after(op));
        const std::u32string_view w = peek_word();
        if (same_word(w, "und") || same_word(w, "oder") || s_.compare(at_, 2, U"&&") == 0 ||
            s_.compare(at_, 2, U"||") == 0)
            fail(at_, texts::nothing_after(op));
    }

    int expression() {
        int left = conjunction();
        for (;;) {
            const std::size_t before = at_;
            if (!take_operator("oder", U"||")) {
                at_ = before;
                return left;
            }
            expect_operand("oder");
            left = binary(Filter::Kind::Or, left, conjunction());
        }
    }
    int conjunction() {
        int left = negation();
        for (;;) {
            const std::size_t before = at_;
            if (!take_operator("und", U"&&")) {
                at_ = before;
                return left;
            }
            expect_operand("und");
            left = binary(Filter::Kind::And, left, negation());
        }
    }
    // Brackets and negations within one another, as deep as they go.
    struct Deeper {
        Parser &p;
        explicit Deeper(Parser &parser, std::size_t at) : p(parser) {
            if (++p.depth_ > Filter::kDeepestNesting)
                p.fail(at, texts::kTooDeep);
        }
        ~Deeper() { --p.depth_; }
        Deeper(const Deeper &) = delete;
        Deeper &operator=(const Deeper &) = delete;
    };

    int negation() {
        skip_blanks();
        if (at_end())
            fail(at_, texts::kConditionMissing);
        const std::size_t start = at_;
        const Deeper deeper(*this, start);
        if (s_[at_] == U'!' || same_word(peek_word(), "nicht")) {
            at_ += s_[at_] == U'!' ? 1u : 5u;
            expect_operand("nicht");
            Filter::Node n(Filter::Kind::Not);
            n.left = negation();
            return add(std::move(n));
        }
        if (s_[at_] == U'(') {
            ++at_;
            skip_blanks();
            if (!at_end() && s_[at_] == U')')
                fail(start, texts::kEmptyBrackets);
            const int inner = expression();
            skip_blanks();
            if (at_end() || s_[at_] != U')')
                fail(at_end() ? start : at_,
                     at_end() ? texts::kUnclosedBracket : texts::kOperatorMissing);
            ++at_;
            return inner;
        }
        return term();
    }
    int term() {
        const std::size_t start = at_;
        const char32_t c = s_[at_];
        if (c == U'"' || c == U'\u201E' || c == U'\u201C')
            return quoted();
        if (c == U')')
            fail(at_, texts::kConditionMissing);
        if (c == U'=' || c == U',' || c == U'&' || c == U'|')
            fail(at_, texts::kConditionMissing);
        const std::u32string_view w = peek_word();
        if (same_word(w, "und") || same_word(w, "oder"))
            fail(at_, texts::kConditionMissing);
        at_ += w.size();
        std::size_t after = at_;
        while (after < s_.size() && blank(s_[after]))
            ++after;
        const bool assigned = after < s_.size() && s_[after] == U'=';
        for (const FieldSpec &field : kFields) {
            if (!same_word(w, field.name))
                continue;
            if (!assigned)
                break; // the word alone is text
            at_ = after + 1;
            return list(field, start);
        }
        if (same_word(w, "befund"))
            return assigned ? (at_ = after + 1, finding_kinds())
                            : add(Filter::Node(Filter::Kind::Finding));
        if (same_word(w, "fehler") || same_word(w, "gesendet")) {
            if (assigned)
                fail(after, texts::stands_alone(same_word(w, "fehler") ? "fehler" : "gesendet"));
            return add(
                Filter::Node(same_word(w, "fehler") ? Filter::Kind::Error : Filter::Kind::Sent));
        }
        if (assigned)
            fail(start, texts::unknown_field(w));
        return text_node(w);
    }
    // befund=ART{,ART}: the kinds of finding, by their names
    int finding_kinds() {
        Filter::Node n(Filter::Kind::Finding);
        do {
            skip_blanks();
            const std::size_t start = at_;
            const std::u32string_view w = peek_word();
            std::string id;
            for (const char32_t c : w)
                id.push_back(c < 0x80 ? static_cast<char>(lower_ascii(c)) : '?');
            const auto kind = loconet::finding_kind(id);
            if (!kind)
                fail(start, texts::unknown_finding(w));
            at_ += w.size();
            const int k = static_cast<int>(*kind);
            n.values.push_back({k, k});
            skip_blanks();
        } while (!at_end() && s_[at_] == U',' && ++at_);
        return add(std::move(n));
    }
    int quoted() {
        const std::size_t start = at_;
        const char32_t open = s_[at_++];
        const char32_t close = open == U'"' ? U'"' : U'\u201C';
        std::size_t end = at_;
        while (end < s_.size() && s_[end] != close && !(open == U'"' && s_[end] == U'"'))
            ++end;
        if (end >= s_.size())
            fail(start, texts::kUnclosedQuote);
        const std::u32string_view inner = std::u32string_view(s_).substr(at_, end - at_);
        at_ = end + 1;
        if (inner.empty())
            fail(start, texts::kEmptyQuote);
        return text_node(inner);
    }
    int text_node(std::u32string_view text) {
        Filter::Node n(Filter::Kind::Text);
        for (const char32_t c : text) {
            if (c > 0xFF)
                n.never = true;
            n.text.push_back(fold(static_cast<char>(c & 0xFF)));
        }
        return add(std::move(n));
    }

    // A number of the field's base at the cursor, within its bounds.
    int number(const FieldSpec &field) {
        skip_blanks();
        const std::size_t start = at_;
        if (field.hex && s_.compare(at_, 2, U"0x") == 0)
            at_ += 2;
        long value = 0;
        std::size_t digits = 0;
        while (!at_end()) {
            const char32_t c = lower_ascii(s_[at_]);
            int d = -1;
            if (c >= U'0' && c <= U'9')
                d = static_cast<int>(c - U'0');
            else if (field.hex && c >= U'a' && c <= U'f')
                d = static_cast<int>(c - U'a') + 10;
            if (d < 0)
                break;
            value = std::min(value * (field.hex ? 16 : 10) + d, 1'000'000L);
            ++digits;
            ++at_;
        }
        if (digits == 0)
            fail(start, texts::number_missing(field.name, field.hex));
        if (!at_end() && !special(s_[at_]) && s_[at_] != U'-')
            fail(start, texts::number_missing(field.name, field.hex));
        if (value < field.lowest || value > field.highest)
            fail(start, texts::out_of_range(field.name, field.lowest, field.highest, field.hex));
        return static_cast<int>(value);
    }
    int list(const FieldSpec &field, std::size_t start) {
        Filter::Node n(field.kind);
        (void)start;
        for (;;) {
            skip_blanks();
            const std::size_t value_at = at_;
            const int from = number(field);
            int to = from;
            skip_blanks();
            if (!at_end() && s_[at_] == U'-') {
                ++at_;
                to = number(field);
                if (to < from)
                    fail(value_at, texts::kBackwardRange);
            }
            n.values.push_back({from, to});
            skip_blanks();
            if (at_end() || s_[at_] != U',')
                break;
            ++at_;
        }
        return add(std::move(n));
    }

    std::u32string s_;
    std::size_t at_ = 0;
    int depth_ = 0;
    Filter f_;
};

std::variant<Filter, ParseError> Filter::parse(std::string_view utf8) {
    // a character takes at most four bytes: longer texts are not decoded at all
    if (utf8.size() > 4 * kLongestExpression)
        return ParseError{kLongestExpression, texts::kTooLong};
    std::u32string text = decode_utf8(utf8);
    if (text.size() > kLongestExpression)
        return ParseError{kLongestExpression, texts::kTooLong};
    return Parser(std::move(text)).run();
}

} // namespace bl::filter
