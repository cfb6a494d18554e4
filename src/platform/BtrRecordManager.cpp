#include "platform/BtrRecordManager.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace ks3::btr {

namespace {

using Seek = RecordFile::Seek;

// The path given in a key buffer: up to a zero byte or the key length, without
// trailing blanks (callers pad their buffers).
std::string pathFrom(const unsigned char* key, std::uint16_t keyLength) {
    if (!key)
        return std::string();
    std::size_t n = 0;
    while (n < keyLength && key[n] != 0)
        ++n;
    while (n > 0 && key[n - 1] == ' ')
        --n;
    return std::string(reinterpret_cast<const char*>(key), n);
}

bool isGet(std::uint16_t op) {
    return op >= OpGetEqual && op <= OpGetLast;
}

} // namespace

RecordManager& RecordManager::instance() {
    static RecordManager m;
    return m;
}

std::int16_t RecordManager::call(std::uint16_t operation, PositionBlock* block, unsigned char* data,
                                 std::uint32_t* dataLength, unsigned char* key, std::uint16_t keyLength,
                                 std::int16_t keyNumber) {
    std::lock_guard lock(mutex_);
    const Request r{operation, data, dataLength, key, keyLength, keyNumber};
    switch (operation) {
    case OpOpen:
        return open(block, r);
    case OpCreate:
        return create(r);
    case OpStop:
        return stop();
    case OpBeginTransaction:
    case OpBeginConcurrentTransaction:
        if (inTransaction_)
            return StatusTransactionActive;
        inTransaction_ = true;
        return StatusSuccess;
    case OpEndTransaction:
        return endTransaction(true);
    case OpAbortTransaction:
        return endTransaction(false);
    case OpClose:
    case OpInsert:
    case OpUpdate:
    case OpDelete:
    case OpGetEqual:
    case OpGetNext:
    case OpGetPrevious:
    case OpGetGreater:
    case OpGetGreaterOrEqual:
    case OpGetLess:
    case OpGetLessOrEqual:
    case OpGetFirst:
    case OpGetLast:
        return onCursor(block, r);
    default:
        return StatusInvalidOperation;
    }
}

std::int16_t RecordManager::open(PositionBlock* block, const Request& r) {
    if (!block)
        return StatusFileNotOpen;
    bool readOnly = false;
    switch (r.keyNumber) {
    case OpenNormal:
    case OpenAccelerated:
    case OpenVerify:
        break;
    case OpenReadOnly:
        readOnly = true;
        break;
    default:
        return StatusInvalidOperation;
    }
    const std::string path = pathFrom(r.key, r.keyLength);
    if (path.empty())
        return StatusInvalidFileName;

    // A file already open in this process shares its connection.
    std::shared_ptr<RecordFile> file;
    if (const std::string identity = RecordFile::identityOf(path); !identity.empty()) {
        auto it = files_.find(identity);
        if (it != files_.end())
            file = it->second.lock();
    }
    if (!file) {
        std::unique_ptr<RecordFile> opened;
        if (const std::int16_t s = RecordFile::open(path, opened); s != StatusSuccess)
            return s;
        file = std::move(opened);
        files_[file->identity()] = file;
    }

    auto freeSlot = std::find_if(cursors_.begin(), cursors_.end(), [](const Cursor& c) { return !c.file; });
    if (freeSlot == cursors_.end())
        freeSlot = cursors_.insert(cursors_.end(), Cursor());
    freeSlot->file = std::move(file);
    freeSlot->readOnly = readOnly;
    freeSlot->longKey.clear();
    freeSlot->longKeyNumber = -1;

    Position pos;
    pos.cursor = std::uint32_t(freeSlot - cursors_.begin()) + 1;
    pos.generation = freeSlot->generation;
    pos.write(*block);
    return StatusSuccess;
}

std::int16_t RecordManager::create(const Request& r) {
    const std::string path = pathFrom(r.key, r.keyLength);
    if (path.empty())
        return StatusInvalidFileName;
    if (!r.data || !r.dataLength)
        return StatusDataBufferTooShort;
    FileDefinition definition;
    if (const std::int16_t s = FileDefinition::parse(r.data, *r.dataLength, definition); s != StatusSuccess)
        return s;
    // Redefining a file that this process has open would leave its cursors
    // working on a layout that is gone.
    if (const std::string identity = RecordFile::identityOf(path); !identity.empty()) {
        auto it = files_.find(identity);
        if (it != files_.end() && !it->second.expired())
            return r.keyNumber == CreateNoReplace ? StatusFileExists : StatusAccessDenied;
    }
    return RecordFile::create(path, definition, r.keyNumber != CreateNoReplace);
}

std::int16_t RecordManager::close(Position& pos) {
    Cursor& c = cursors_[pos.cursor - 1];
    c.file.reset(); // a file of the transaction stays with it until its end
    c.longKey.clear();
    ++c.generation;
    return StatusSuccess;
}

std::int16_t RecordManager::stop() {
    std::int16_t status = StatusSuccess;
    if (inTransaction_)
        status = endTransaction(false);
    for (Cursor& c : cursors_) {
        if (c.file) {
            c.file.reset();
            c.longKey.clear();
            ++c.generation;
        }
    }
    files_.clear();
    return status;
}

std::int16_t RecordManager::endTransaction(bool commit) {
    if (!inTransaction_)
        return StatusEndWithoutBegin;
    // Each file commits on its own: a failure of one does not undo the files
    // committed before it, and the first failure is the status.
    std::int16_t status = StatusSuccess;
    for (const auto& f : joined_) {
        const std::int16_t s = commit ? f->commit() : f->rollback();
        if (status == StatusSuccess)
            status = s;
    }
    joined_.clear();
    inTransaction_ = false;
    return status;
}

std::int16_t RecordManager::joinTransaction(const std::shared_ptr<RecordFile>& file) {
    if (!inTransaction_ || file->inTransaction())
        return StatusSuccess;
    const std::int16_t s = file->begin();
    if (s == StatusSuccess)
        joined_.push_back(file);
    return s;
}

std::int16_t RecordManager::onCursor(PositionBlock* block, const Request& r) {
    if (!block)
        return StatusFileNotOpen;
    Position pos = Position::read(*block);
    if (pos.cursor == 0 || pos.cursor > cursors_.size())
        return StatusFileNotOpen;
    Cursor& c = cursors_[pos.cursor - 1];
    if (!c.file || c.generation != pos.generation)
        return StatusFileNotOpen;

    std::int16_t status;
    if (r.operation == OpClose)
        return close(pos);
    else if (isGet(r.operation))
        status = get(c, pos, r);
    else if (r.operation == OpInsert)
        status = insert(c, pos, r);
    else if (r.operation == OpUpdate)
        status = update(c, pos, r);
    else
        status = remove(c, pos);
    pos.write(*block);
    return status;
}

void RecordManager::setPositionKey(Cursor& c, Position& pos, const QByteArray& sortKey) {
    pos.keyLength = int(sortKey.size());
    if (pos.keyInBlock()) {
        pos.key = sortKey;
    } else {
        pos.key.clear();
        c.longKey = sortKey;
        c.longKeyRecord = pos.recordId;
        c.longKeySequence = pos.sequence;
        c.longKeyNumber = pos.keyNumber;
    }
}

bool RecordManager::positionKey(const Cursor& c, const Position& pos, QByteArray& out) const {
    if (pos.keyInBlock()) {
        out = pos.key;
        return true;
    }
    // A long key is the cursor's; a block copied from an older position no
    // longer matches it.
    if (c.longKeyRecord != pos.recordId || c.longKeySequence != pos.sequence ||
        c.longKeyNumber != pos.keyNumber || c.longKey.size() != pos.keyLength)
        return false;
    out = c.longKey;
    return true;
}

void RecordManager::putKey(const KeyDef& def, const QByteArray& record, const Request& r) const {
    const QByteArray k = def.fromRecord(record);
    std::memcpy(r.key, k.constData(), std::size_t(k.size()));
}

void RecordManager::deliver(Cursor& c, Position& pos, int keyNumber, const RecordFile::Row& row,
                            const Request& r) {
    const int length = c.file->definition().recordLength;
    std::memset(r.data, ' ', std::size_t(length));
    std::memcpy(r.data, row.data.constData(), std::size_t(std::min<qsizetype>(row.data.size(), length)));
    *r.dataLength = std::uint32_t(length);
    QByteArray record(reinterpret_cast<const char*>(r.data), length);
    putKey(c.file->definition().keys[std::size_t(keyNumber)], record, r);
    pos.keyNumber = std::int16_t(keyNumber);
    pos.state = Position::OnRecord;
    pos.recordId = row.id;
    pos.version = row.version;
    pos.sequence = row.sequence;
    setPositionKey(c, pos, row.sortKey);
}

std::int16_t RecordManager::get(Cursor& c, Position& pos, const Request& r) {
    const FileDefinition& definition = c.file->definition();
    if (r.keyNumber < 0 || r.keyNumber >= int(definition.keys.size()))
        return StatusInvalidKeyNumber;
    const KeyDef& def = definition.keys[std::size_t(r.keyNumber)];
    if (!r.key || r.keyLength < def.length())
        return StatusKeyBufferTooShort;
    if (!r.data || !r.dataLength || *r.dataLength < std::uint32_t(definition.recordLength))
        return StatusDataBufferTooShort;

    Seek seek;
    QByteArray sortKey;
    std::int64_t sequence = 0;
    switch (r.operation) {
    case OpGetNext:
    case OpGetPrevious:
        if (pos.state == Position::None)
            return StatusInvalidPositioning;
        if (pos.keyNumber != r.keyNumber)
            return StatusDifferentKeyNumber;
        if (!positionKey(c, pos, sortKey))
            return StatusLostPosition;
        seek = r.operation == OpGetNext ? Seek::After : Seek::Before;
        sequence = pos.sequence;
        break;
    case OpGetFirst:
        seek = Seek::First;
        break;
    case OpGetLast:
        seek = Seek::Last;
        break;
    default:
        seek = r.operation == OpGetEqual            ? Seek::Equal
               : r.operation == OpGetGreater        ? Seek::Greater
               : r.operation == OpGetGreaterOrEqual ? Seek::GreaterOrEqual
               : r.operation == OpGetLess           ? Seek::Less
                                                    : Seek::LessOrEqual;
        sortKey = def.sortForm(QByteArray(reinterpret_cast<const char*>(r.key), def.length()));
        if (sortKey.isNull()) // the null key value is in no index
            return seek == Seek::Equal ? StatusKeyNotFound : StatusEndOfFile;
        break;
    }

    RecordFile::Row row;
    const std::int16_t status = c.file->find(r.keyNumber, seek, sortKey, sequence, row);
    if (status == StatusSuccess) {
        deliver(c, pos, r.keyNumber, row, r);
    } else if ((status == StatusKeyNotFound || status == StatusEndOfFile) && seek != Seek::After &&
               seek != Seek::Before) {
        // A search that finds nothing leaves no current record; running off
        // either end by Next or Previous keeps the last one.
        pos.state = Position::None;
        pos.keyNumber = -1;
    }
    return status;
}

std::int16_t RecordManager::insert(Cursor& c, Position& pos, const Request& r) {
    const FileDefinition& definition = c.file->definition();
    if (c.readOnly)
        return StatusAccessDenied;
    if (r.keyNumber >= int(definition.keys.size()))
        return StatusInvalidKeyNumber;
    if (!r.data || !r.dataLength || *r.dataLength < std::uint32_t(definition.recordLength))
        return StatusDataBufferTooShort;
    const bool positions = r.keyNumber >= 0; // a negative key number keeps the position as it was
    if (positions && (!r.key || r.keyLength < definition.keys[std::size_t(r.keyNumber)].length()))
        return StatusKeyBufferTooShort;
    if (const std::int16_t s = joinTransaction(c.file); s != StatusSuccess)
        return s;

    const QByteArray record(reinterpret_cast<const char*>(r.data), definition.recordLength);
    RecordFile::Written w;
    const std::int16_t status = c.file->insert(record, w);
    if (status != StatusSuccess || !positions)
        return status;
    const KeyDef& def = definition.keys[std::size_t(r.keyNumber)];
    putKey(def, record, r);
    pos.keyNumber = r.keyNumber;
    pos.state = Position::OnRecord;
    pos.recordId = w.id;
    pos.version = w.version;
    pos.sequence = w.sequences[std::size_t(r.keyNumber)];
    setPositionKey(c, pos, def.sortForm(def.fromRecord(record)));
    return status;
}

std::int16_t RecordManager::update(Cursor& c, Position& pos, const Request& r) {
    const FileDefinition& definition = c.file->definition();
    if (c.readOnly)
        return StatusAccessDenied;
    if (pos.state != Position::OnRecord)
        return StatusInvalidPositioning;
    if (!r.data || !r.dataLength || *r.dataLength < std::uint32_t(definition.recordLength))
        return StatusDataBufferTooShort;
    const KeyDef& def = definition.keys[std::size_t(pos.keyNumber)];
    if (!r.key || r.keyLength < def.length())
        return StatusKeyBufferTooShort;
    if (const std::int16_t s = joinTransaction(c.file); s != StatusSuccess)
        return s;

    const QByteArray record(reinterpret_cast<const char*>(r.data), definition.recordLength);
    RecordFile::Written w;
    const std::int16_t status = c.file->update(pos.recordId, pos.version, record, w);
    if (status != StatusSuccess)
        return status;
    putKey(def, record, r);
    pos.version = w.version;
    pos.sequence = w.sequences[std::size_t(pos.keyNumber)];
    setPositionKey(c, pos, def.sortForm(def.fromRecord(record)));
    return status;
}

std::int16_t RecordManager::remove(Cursor& c, Position& pos) {
    if (c.readOnly)
        return StatusAccessDenied;
    if (pos.state != Position::OnRecord)
        return StatusInvalidPositioning;
    if (const std::int16_t s = joinTransaction(c.file); s != StatusSuccess)
        return s;
    const std::int16_t status = c.file->remove(pos.recordId, pos.version);
    if (status == StatusSuccess)
        pos.state = Position::Between; // Next and Previous go on from the deleted record's place
    return status;
}

} // namespace ks3::btr
