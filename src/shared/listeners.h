// Listeners that a registration handle removes again: whoever listens keeps
// the handle, and its end (in any order of destruction) ends the listening.
// A listener may end its own or another's listening while being told.
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
        Handle(std::weak_ptr<std::vector<Entry>> list, std::size_t id)
            : list_(std::move(list)), id_(id) {}
        void release() {
            if (const auto list = list_.lock())
                for (Entry &e : *list)
                    if (e.id == id_)
                        e.listener = nullptr;
            list_.reset();
        }
        std::weak_ptr<std::vector<Entry>> list_;
        std::size_t id_ = 0;
    };

    Handle add(Listener listener) {
        if (telling_ == 0)
            std::erase_if(*entries_, [](const Entry &e) { return !e.listener; });
        entries_->push_back({++last_id_, std::move(listener)});
        return Handle(entries_, last_id_);
    }

    void tell(Args... args) const {
        const Telling telling(telling_);
        // by index, each listener copied before it runs: one added or ended
        // while telling changes nothing under the running one
        const std::size_t n = entries_->size();
        for (std::size_t i = 0; i < n; ++i)
            if (const Listener l = (*entries_)[i].listener)
                l(args...);
    }
    bool empty() const {
        for (const Entry &e : *entries_)
            if (e.listener)
                return false;
        return true;
    }

private:
    std::shared_ptr<std::vector<Entry>> entries_ = std::make_shared<std::vector<Entry>>();
    std::size_t last_id_ = 0;
    mutable int telling_ = 0;
    struct Telling {
        explicit Telling(int &depth) : depth_(depth) { ++depth_; }
        ~Telling() { --depth_; }
        int &depth_;
    };
};

} // namespace bl
