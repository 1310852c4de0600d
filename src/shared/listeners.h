// Listeners that a registration handle removes again: whoever listens keeps
// the handle, and its end (in any order of destruction) ends the listening.
// A listener may end its own or another's listening, or add one, while being
// told.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace bl {

template <typename... Args> class Listeners {
public:
    using Listener = std::function<void(Args...)>;

private:
    struct Entry {
        std::size_t id;
        Listener listener;
        bool ended = false; // ended while telling: skipped, destroyed after
    };
    // Telling runs each listener in place (a copy per message cost as much as
    // a small listener itself): one added while telling waits aside until
    // the telling ends, so that the running one stays where it is, and one
    // ended while telling is only marked.
    struct List {
        std::vector<Entry> entries;
        std::vector<Entry> waiting; // added while telling
        int telling = 0;
        bool ended_while_telling = false;

        void end(std::size_t id) {
            for (Entry &e : waiting)
                if (e.id == id)
                    e.listener = nullptr;
            for (Entry &e : entries)
                if (e.id == id) {
                    if (telling > 0) {
                        e.ended = true;
                        ended_while_telling = true;
                    } else {
                        e.listener = nullptr;
                    }
                }
        }
        void told() {
            if (ended_while_telling)
                for (Entry &e : entries)
                    if (e.ended)
                        e.listener = nullptr;
            ended_while_telling = false;
            if (waiting.empty())
                return;
            for (Entry &e : waiting)
                entries.push_back(std::move(e));
            waiting.clear();
        }
    };

public:
    class [[nodiscard]] Handle {
    public:
        Handle() = default;
        Handle(Handle &&other) noexcept : list_(std::move(other.list_)), id_(other.id_) {
            other.list_.reset();
        }
        Handle &operator=(Handle &&other) noexcept {
            if (this != &other) {
                release();
                list_ = std::move(other.list_);
                id_ = other.id_;
                other.list_.reset();
            }
            return *this;
        }
        Handle(const Handle &) = delete;
        Handle &operator=(const Handle &) = delete;
        ~Handle() { release(); }

    private:
        friend class Listeners;
        Handle(std::weak_ptr<List> list, std::size_t id) : list_(std::move(list)), id_(id) {}
        void release() {
            if (const auto list = list_.lock())
                list->end(id_);
            list_.reset();
        }
        std::weak_ptr<List> list_;
        std::size_t id_ = 0;
    };

    Handle add(Listener listener) {
        if (list_->telling > 0) {
            list_->waiting.push_back({++last_id_, std::move(listener)});
        } else {
            std::erase_if(list_->entries, [](const Entry &e) { return !e.listener; });
            list_->entries.push_back({++last_id_, std::move(listener)});
        }
        return Handle(list_, last_id_);
    }

    void tell(Args... args) const {
        const Telling telling(*list_);
        for (const Entry &e : list_->entries)
            if (e.listener && !e.ended)
                e.listener(args...);
    }
    bool empty() const {
        for (const Entry &e : list_->entries)
            if (e.listener && !e.ended)
                return false;
        for (const Entry &e : list_->waiting)
            if (e.listener)
                return false;
        return true;
    }

private:
    // also where a listener throws
    struct Telling {
        explicit Telling(List &list) : list_(list) { ++list_.telling; }
        ~Telling() {
            // the rounds that leave something to tidy are rare: the others
            // end here, without a call
            if (--list_.telling == 0 && (list_.ended_while_telling || !list_.waiting.empty()))
                list_.told();
        }
        Telling(const Telling &) = delete;
        Telling &operator=(const Telling &) = delete;
        List &list_;
    };

    std::shared_ptr<List> list_ = std::make_shared<List>();
    std::size_t last_id_ = 0;
};

} // namespace bl
