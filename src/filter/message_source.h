// What the filter's terms read of a message: its plain-German line (the
// detailed one where asked, or a line already made for it), its subjects and
// the findings that name it, each made only when a term asks.
#pragma once

#include "filter/filter.h"
#include "loconet/findings.h"
#include "loconet/line_maker.h"
#include "loconet/subjects.h"

namespace bl::filter {

class MessageSource : public LineSource {
public:
    // same: the line made for the message already, where it is the one asked for
    MessageSource(const loconet::Message &m, const loconet::RequestSource &requests,
                  bool detail = false, const loconet::Findings *findings = nullptr,
                  const LineText *same = nullptr)
        : m_(m), requests_(requests), detail_(detail), findings_(findings), same_(same) {}
    std::string_view line() override {
        if (same_)
            return same_->view();
        if (!made_)
            loconet::filter_text(m_, detail_, requests_, text_);
        made_ = true;
        return text_.view();
    }
    const loconet::Subjects &subjects() override {
        if (!subjects_made_)
            subjects_ = loconet::subjects_of(m_, requests_);
        subjects_made_ = true;
        return subjects_;
    }
    std::uint32_t findings(std::uint64_t nr) override {
        return findings_ ? findings_->marks(nr) : 0;
    }

private:
    const loconet::Message &m_;
    const loconet::RequestSource &requests_;
    bool detail_;
    const loconet::Findings *findings_;
    const LineText *same_;
    LineText text_;
    bool made_ = false;
    loconet::Subjects subjects_;
    bool subjects_made_ = false;
};

} // namespace bl::filter
