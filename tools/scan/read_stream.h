// A read-only file for TagLib that answers its many small seeks and reads from memory.
//
// TagLib reads a file's tags in small pieces, jumping between the head and the tail (ID3v2 at
// the start, ID3v1 and APE at the end); through stdio each jump is a system call. This stream
// keeps the two most recently read 64 KiB blocks of the file, so a tagged song typically costs
// an open, a stat, one or two reads and a close. Reads larger than a block go straight to the
// file. Writing is refused: the stream reports itself read-only and writes change nothing.
//
// TagLib searches some files for what they lack (an MPEG frame, an Ogg page, a FLAC marker)
// from one end to the other in 1 KiB reads, and parses structures in reads of a few bytes, at
// a cost far above reading the bytes: a 4 GiB file of zeros named .mp3 would take minutes.
// Such small reads are rationed (kSmallReads per stream; a real file's tags and properties
// take a few dozen, a tracker module's some thousands); once they are spent the stream reads
// nothing more, as at the end of the file, and exhausted() tells. Larger reads take a tag,
// block or page whose size the file declares, cost little beyond the bytes, and are not
// rationed.
#pragma once

#include <taglib/tiostream.h>

#include <array>
#include <memory>
#include <string>

namespace scan {

class ReadOnlyFileStream : public TagLib::IOStream {
 public:
  explicit ReadOnlyFileStream(std::string path);
  ~ReadOnlyFileStream() override;

  // The errno of a failed open (or stat); 0 when the file is open.
  int error() const { return error_; }
  // True once a read was refused because the small reads were spent: what TagLib made of the
  // file then rests on a part of it.
  bool exhausted() const { return exhausted_; }

  // Reads under kSmallRead bytes are rationed to kSmallReads.
  static constexpr unsigned long kSmallRead = 4 * 1024;
  static constexpr long kSmallReads = 16 * 1024;

  TagLib::FileName name() const override { return path_.c_str(); }
  TagLib::ByteVector readBlock(unsigned long length) override;
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  bool readOnly() const override { return true; }
  bool isOpen() const override { return fd_ >= 0; }
  // A position before the start of the file is refused (the position stays), as with stdio.
  void seek(long offset, Position p = Beginning) override;
  long tell() const override { return position_; }
  long length() override { return size_; }
  void truncate(long) override {}

 private:
  static constexpr long kBlockSize = 64 * 1024;

  struct Block {
    long index = -1;  // position / kBlockSize of the bytes held; -1 when empty
    long size = 0;    // bytes held: a whole block but at the end of the file
    std::unique_ptr<char[]> bytes;
  };

  // The cached block with `index`, read from the file if it is not held; nullptr when the read
  // fails.
  const Block* BlockAt(long index);
  // Reads up to `length` bytes at `offset` into `out`; returns how many were read.
  long ReadAt(long offset, long length, char* out);

  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  long size_ = 0;
  long position_ = 0;
  long small_reads_left_ = kSmallReads;
  bool exhausted_ = false;
  std::array<Block, 2> blocks_;
  size_t last_used_ = 0;  // which of blocks_ was read from last
};

}  // namespace scan
