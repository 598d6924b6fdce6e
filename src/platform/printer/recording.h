// A backend that keeps everything a job draws, for tests: the runs with their computed
// positions, the pictures and the pages, and a plain-text picture of each page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/printer/backend.h"

namespace kvor::printer {

struct RecordedJob {
  int orientation = 0;
  int pages = 0;
  bool ended = false;
  bool aborted = false;
  std::vector<TextRun> texts;
  std::vector<PictureRun> pictures;

  // The page as text: one line per distinct y, top to bottom, each run written from its
  // column on (a later run overwrites an earlier one where they meet).
  std::string PageText(int page) const;
};

class RecordingBackend : public Backend {
 public:
  explicit RecordingBackend(std::shared_ptr<RecordedJob> job) : job_(std::move(job)) {}
  void BeginDocument(int orientation) override;
  void NewPage() override { ++job_->pages; }
  void DrawText(const TextRun& run) override { job_->texts.push_back(run); }
  void DrawPicture(const PictureRun& run, const Picture&) override {
    job_->pictures.push_back(run);
  }
  void EndDocument() override { job_->ended = true; }
  void Abort() noexcept override { job_->aborted = true; }

 private:
  std::shared_ptr<RecordedJob> job_;
};

}  // namespace kvor::printer
