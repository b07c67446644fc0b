#pragma once

#include <cstdint>
#include <ios>
#include <streambuf>

namespace tovasel {

// A stream buffer that keeps no bytes, only how many a trial write put out:
// for measuring a GIF before choosing which to write. It can seek back over
// what it counted, as the writers that fill in a header last do.
class TByteCounter : public std::streambuf {
 public:
  std::int64_t Size() const { return size_; }

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Advance(n);
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) Advance(1);
    return traits_type::not_eof(ch);
  }
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode) override {
    const std::int64_t base = direction == std::ios_base::beg ? 0 : direction == std::ios_base::cur ? at_ : size_;
    if (base + offset < 0) return pos_type(off_type(-1));
    at_ = base + offset;
    return pos_type(at_);
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
    return seekoff(off_type(position), std::ios_base::beg, which);
  }

 private:
  void Advance(std::int64_t n) {
    at_ += n;
    if (at_ > size_) size_ = at_;
  }

  std::int64_t at_ = 0;
  std::int64_t size_ = 0;
};

}  // namespace tovasel
