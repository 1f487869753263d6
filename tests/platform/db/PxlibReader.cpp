#include "tests/platform/db/PxlibReader.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <paradox.h>
}

namespace pxcheck {
namespace {

std::string* g_error = nullptr;

void OnError(pxdoc_t*, int, const char* message, void*) {
  if (g_error && g_error->empty()) *g_error = message;
}

std::string Double(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

}  // namespace

bool Read(const std::string& dbPath, const std::string& pxPath, Table& out, std::string& error) {
  error.clear();
  g_error = &error;
  pxdoc_t* doc = PX_new();
  doc->errorhandler = OnError;
  if (PX_open_file(doc, dbPath.c_str()) < 0) {
    if (error.empty()) error = "PX_open_file failed";
    PX_delete(doc);
    g_error = nullptr;
    return false;
  }
  pxdoc_t* index = nullptr;
  if (!pxPath.empty()) {
    index = PX_new();
    index->errorhandler = OnError;
    if (PX_open_file(index, pxPath.c_str()) < 0 || PX_read_primary_index(index) < 0 ||
        PX_add_primary_index(doc, index) < 0) {
      if (error.empty()) error = "the primary index was refused";
      PX_delete(index);
      PX_delete(doc);
      g_error = nullptr;
      return false;
    }
    out.indexAttached = true;
  }
  const int n = PX_get_num_fields(doc);
  pxfield_t* fields = PX_get_fields(doc);
  for (int i = 0; i < n; ++i) {
    out.fieldNames.emplace_back(fields[i].px_fname);
    out.fieldTypes.push_back(static_cast<unsigned char>(fields[i].px_ftype));
  }
  const int records = PX_get_num_records(doc);
  std::vector<char> data(static_cast<std::size_t>(doc->px_head->px_recordsize));
  for (int r = 0; r < records; ++r) {
    if (!PX_get_record(doc, r, data.data())) {
      error = "PX_get_record failed at " + std::to_string(r);
      break;
    }
    std::vector<std::string> row;
    int offset = 0;
    for (int i = 0; i < n; ++i) {
      char* p = data.data() + offset;
      const int len = fields[i].px_flen;
      std::string text = "<null>";
      switch (fields[i].px_ftype) {
        case pxfAlpha: {
          char* value = nullptr;
          if (PX_get_data_alpha(doc, p, len, &value) > 0 && value) {
            text = value;
            doc->free(doc, value);
          }
          break;
        }
        case pxfShort: {
          short v = 0;
          if (PX_get_data_short(doc, p, len, &v) > 0) text = std::to_string(v);
          break;
        }
        case pxfLong:
        case pxfAutoInc:
        case pxfDate:
        case pxfTime: {
          long v = 0;
          bool blank = true;  // pxlib may report blank Long/Date as values on 64-bit
          for (int k = 0; k < len; ++k) blank = blank && p[k] == 0;
          if (!blank && PX_get_data_long(doc, p, len, &v) > 0) text = std::to_string(v);
          break;
        }
        case pxfNumber:
        case pxfCurrency:
        case pxfTimestamp: {
          double v = 0;
          if (PX_get_data_double(doc, p, len, &v) > 0) text = Double(v);
          break;
        }
        case pxfLogical: {
          char v = 0;
          if (PX_get_data_byte(doc, p, len, &v) > 0) text = v ? "true" : "false";
          break;
        }
        default:
          text = "<unchecked>";
      }
      row.push_back(text);
      offset += len;
    }
    out.rows.push_back(std::move(row));
  }
  if (index) PX_delete(index);
  PX_delete(doc);
  g_error = nullptr;
  return error.empty();
}

}  // namespace pxcheck
