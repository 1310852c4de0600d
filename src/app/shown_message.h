// What the filter's terms read of a message outside the display: its
// plain-German line, its subjects and the findings that name it, each made
// only when a term asks.
#pragma once

#include "filter/filter.h"
#include "loconet/findings.h"
#include "loconet/line_maker.h"
#include "loconet/subjects.h"

namespace bl {

class ShownMessage : public filter::LineSource {
public:
    ShownMessage(const loconet::Message &m, const loconet::RequestSource &requests,
                 const loconet::Findings *findings = nullptr)
        : m_(m), requests_(requests), findings_(findings) {}
    std::string_view line() override {
        if (!made_)
            loconet::filter_text(m_, false, requests_, text_);
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
    const loconet::Findings *findings_;
    LineText text_;
    bool made_ = false;
    loconet::Subjects subjects_;
    bool subjects_made_ = false;
};

} // namespace bl
