// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoWriter.h"

#include <algorithm>
#include <filesystem>

namespace glassfalls::platform {

VideoWriter::~VideoWriter() {
    if (!isOpen()) return;
    // Whatever went wrong was told when it happened; the file is left as complete as it got.
    (void)finish(lastMs_);
    std::error_code gone;
    if (!anyFrame_ && !wasThere_) std::filesystem::remove(path_, gone);
}

Expected<void> VideoWriter::open(const std::string& path, const VideoFormat& format) {
    path_ = path;
    auto encoder = makeVideoEncoder();
    if (!encoder) return failure(encoder.error());
    encoder_ = std::move(*encoder);
    // A file that was there before is not ours to remove, whatever became of it.
    std::error_code ignored;
    wasThere_ = std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
    if (auto opened = encoder_->open(path, format); !opened) {
        if (!wasThere_) std::filesystem::remove(path, ignored);
        return opened;
    }
    worker_ = std::thread([this] { run(); });
    return {};
}

void VideoWriter::push(Job job) {
    std::unique_lock lock(mutex_);
    if (job.kind == Job::Kind::Frame) {
        changed_.wait(lock, [this] { return framesWaiting_ < kFramesWaiting; });
        ++framesWaiting_;
    }
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

void VideoWriter::addFrame(std::vector<uint32_t>& pixels, int64_t ms) {
    if (!isOpen()) return;
    anyFrame_ = true;
    lastMs_ = ms;
    Job job{Job::Kind::Frame, ms, {}, {}, {}};
    job.pixels.swap(pixels);
    push(std::move(job));
    std::lock_guard lock(mutex_);
    if (!spare_.empty()) {
        pixels.swap(spare_.back());
        spare_.pop_back();
    }
}

void VideoWriter::addSound(const float* left, const float* right, size_t count) {
    if (!isOpen() || count == 0) return;
    push({Job::Kind::Sound, 0, {}, {left, left + count}, {right, right + count}});
}

std::optional<std::string> VideoWriter::firstFailure() {
    std::lock_guard lock(mutex_);
    return failure_;
}

Expected<void> VideoWriter::finish(int64_t ms) {
    if (!isOpen()) return failure("the video " + path_ + " is not being recorded");
    push({Job::Kind::End, ms, {}, {}, {}});
    worker_.join();
    if (failure_) return failure(*failure_);
    return {};
}

void VideoWriter::run() {
    for (bool ended = false; !ended;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !jobs_.empty(); });
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        const bool broken = failure_.has_value();
        lock.unlock();

        ended = job.kind == Job::Kind::End;
        if (!broken) {
            if (auto done = work(job); !done) {
                lock.lock();
                failure_ = done.error();
                lock.unlock();
            }
        }
        if (job.kind != Job::Kind::Frame) continue;
        lock.lock();
        --framesWaiting_;
        if (!job.pixels.empty()) spare_.push_back(std::move(job.pixels));
        changed_.notify_all();
    }
}

Expected<void> VideoWriter::work(Job& job) {
    switch (job.kind) {
        case Job::Kind::Sound: return encoder_->addSound(job.left.data(), job.right.data(), job.left.size());
        case Job::Kind::Frame:
            // A frame is encoded once it is known how long it shows: until this one.
            if (held_ && job.ms > held_->ms) {
                if (auto added = encoder_->addFrame(held_->pixels.data(), held_->ms, job.ms - held_->ms); !added) {
                    return added;
                }
            }
            if (!held_) held_.emplace(Job{Job::Kind::Frame, job.ms, {}, {}, {}});
            // The job takes the buffer of the frame it replaces back to the caller.
            std::swap(held_->pixels, job.pixels);
            held_->ms = job.ms;
            return {};
        case Job::Kind::End:
            if (held_) {
                const int64_t shown = std::max<int64_t>(1, job.ms - held_->ms);
                if (auto added = encoder_->addFrame(held_->pixels.data(), held_->ms, shown); !added) return added;
            }
            held_.reset();
            return encoder_->finish();
    }
    return {};
}

}  // namespace glassfalls::platform
