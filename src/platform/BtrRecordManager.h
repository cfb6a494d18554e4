#pragma once

#include "platform/BtrPosition.h"
#include "platform/BtrRecordFile.h"

#include <QByteArray>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ks3::btr {

// The process's side of the record manager: its cursors (one per position
// block handed out by Open), the record files they share (one connection per
// file, whatever the number of blocks on it) and the
// transaction of the process. BTRCALL is its only door.
class RecordManager {
public:
    static RecordManager& instance();

    std::int16_t call(std::uint16_t operation, PositionBlock* block, unsigned char* data,
                      std::uint32_t* dataLength, unsigned char* key, std::uint16_t keyLength,
                      std::int16_t keyNumber);

private:
    struct Cursor {
        std::shared_ptr<RecordFile> file;
        bool readOnly = false;
        std::uint32_t generation = 0;
        // Position key too long for the block, with the position it belongs to.
        QByteArray longKey;
        std::int64_t longKeyRecord = 0;
        std::int64_t longKeySequence = 0;
        std::int16_t longKeyNumber = -1;
    };
    struct Request {
        std::uint16_t operation;
        unsigned char* data;
        std::uint32_t* dataLength;
        unsigned char* key;
        std::uint16_t keyLength;
        std::int16_t keyNumber;
    };

    std::int16_t open(PositionBlock* block, const Request& r);
    std::int16_t create(const Request& r);
    std::int16_t close(Position& pos);
    std::int16_t stop();
    std::int16_t endTransaction(bool commit);
    std::int16_t onCursor(PositionBlock* block, const Request& r);
    std::int16_t get(Cursor& c, Position& pos, const Request& r);
    std::int16_t insert(Cursor& c, Position& pos, const Request& r);
    std::int16_t update(Cursor& c, Position& pos, const Request& r);
    std::int16_t remove(Cursor& c, Position& pos);
    std::int16_t joinTransaction(const std::shared_ptr<RecordFile>& file);
    // Puts the record and its key in the caller's buffers and the position
    // on it.
    void deliver(Cursor& c, Position& pos, int keyNumber, const RecordFile::Row& row, const Request& r);
    void setPositionKey(Cursor& c, Position& pos, const QByteArray& sortKey);
    bool positionKey(const Cursor& c, const Position& pos, QByteArray& out) const;
    void putKey(const KeyDef& def, const QByteArray& record, const Request& r) const;

    std::mutex mutex_;
    std::vector<Cursor> cursors_;                            // cursor n is cursors_[n - 1]
    std::map<std::string, std::weak_ptr<RecordFile>> files_; // by RecordFile::identity()
    bool inTransaction_ = false;
    std::vector<std::shared_ptr<RecordFile>> joined_;
};

} // namespace ks3::btr
