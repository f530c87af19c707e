#pragma once

#include "document/ByteReader.h"
#include "document/ByteWriter.h"
#include "document/ProjectHeader.h"
#include "document/ObjectRecord.h"

// ProjectRecordCodec: the project file's fixed records, field by field in little-endian order:
// the 840-byte header (file offset 4) and the 524-byte object record. One field list serves
// reading and writing, so the two cannot drift apart.
class ProjectRecordCodec {
public:
    static constexpr int kHeaderSize = 840;
    static constexpr int kObjectRecordSize = 524;

    static void writeHeader(ByteWriter& out, const ProjectHeader& header);
    static void readHeader(ByteReader& in, ProjectHeader& header);
    // Writes `record` with `pointCount` at offset 476 (the length of the object's point list).
    static void writeObject(ByteWriter& out, const ObjectRecord& record, std::int32_t pointCount);
    static void readObject(ByteReader& in, ObjectRecord& record);
};
