#include "insert/bind_arrays.h"

#include <algorithm>
#include <cstring>

namespace ferrule {

namespace {

// Binds one array by name, with its strides.
void bind_array(OCIStmt* stmt, OCIError* errhp, const char* name, void* values, int size,
                ub2 type, sb2* indicators, StepChain& chain) {
  OCIBind* bind = nullptr;
  const bool bound = chain.run("OCIBindByName unsuccessful", [&] {
    return OCIBindByName(stmt, &bind, errhp, reinterpret_cast<const OraText*>(name), -1, values,
                         size, type, indicators, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  });
  if (!bound) return;
  chain.run("OCIBindArrayOfStruct unsuccessful", [&] {
    return OCIBindArrayOfStruct(bind, errhp, static_cast<ub4>(size),
                                indicators ? sizeof(sb2) : 0, 0, 0);
  });
}

}  // namespace

bool BindArrays::fill(const RowCache& cache, const InsertStatement& statement) {
  const int rows = cache.rows();
  const std::size_t n_rows = static_cast<std::size_t>(rows);
  texts.resize(cache.texts.size());
  widths.resize(cache.texts.size());
  indicators.resize(cache.texts.size());
  for (std::size_t c = 0; c < cache.texts.size(); ++c) {
    const StringColumnCache& column = cache.texts[c];
    const int width = std::max(column.longest, 1);
    texts[c].assign(n_rows * width, '\0');
    widths[c] = width;
    if (UnpackStringCache(column, rows, width, texts[c].data()) != 0) return false;
    const IntColumnCache& flags = cache.indicators[c];
    if (static_cast<int>(flags.array.size()) < rows) return false;
    indicators[c].assign(flags.array.begin(), flags.array.begin() + rows);
  }
  values.resize(cache.values.size());
  for (std::size_t c = 0; c < cache.values.size(); ++c) {
    const IntColumnCache& column = cache.values[c];
    if (static_cast<int>(column.array.size()) < rows) return false;
    values[c].assign(column.array.begin(), column.array.begin() + rows);
  }
  numrows.assign(n_rows, 0);
  outputs.resize(statement.output_binds.size());
  for (std::vector<int>& output : outputs) output.assign(n_rows, 0);
  text_outputs.resize(statement.text_output_binds.size());
  for (std::vector<char>& output : text_outputs) output.assign(n_rows * kTextOutputSize, '\0');
  last_row_flags.clear();
  if (statement.last_row_flag) {
    last_row_flags.assign(n_rows, 0);
    last_row_flags.back() = 1;
  }
  return true;
}

void BindArrays::bind(OCIStmt* stmt, OCIError* errhp, const InsertStatement& statement,
                      StepChain& chain) {
  for (std::size_t c = 0; c < statement.text_binds.size() && c < texts.size(); ++c)
    bind_array(stmt, errhp, statement.text_binds[c], texts[c].data(), widths[c], SQLT_STR,
               indicators[c].data(), chain);
  for (std::size_t c = 0; c < statement.value_binds.size() && c < values.size(); ++c)
    bind_array(stmt, errhp, statement.value_binds[c], values[c].data(), sizeof(int), SQLT_INT,
               nullptr, chain);
  bind_array(stmt, errhp, ":numrows", numrows.data(), sizeof(int), SQLT_INT, nullptr, chain);
  for (std::size_t c = 0; c < statement.output_binds.size(); ++c)
    bind_array(stmt, errhp, statement.output_binds[c], outputs[c].data(), sizeof(int), SQLT_INT,
               nullptr, chain);
  for (std::size_t c = 0; c < statement.text_output_binds.size(); ++c)
    bind_array(stmt, errhp, statement.text_output_binds[c], text_outputs[c].data(),
               kTextOutputSize, SQLT_STR, nullptr, chain);
  if (statement.last_row_flag)
    bind_array(stmt, errhp, statement.last_row_flag, last_row_flags.data(), sizeof(int),
               SQLT_INT, nullptr, chain);
}

const std::vector<int>* BindArrays::int_output(const InsertStatement& statement,
                                               const char* name) const {
  for (std::size_t c = 0; name && c < statement.output_binds.size(); ++c)
    if (std::strcmp(statement.output_binds[c], name) == 0) return &outputs[c];
  return nullptr;
}

const char* BindArrays::last_text_output(const InsertStatement& statement,
                                         const char* name) const {
  for (std::size_t c = 0; name && c < statement.text_output_binds.size(); ++c)
    if (std::strcmp(statement.text_output_binds[c], name) == 0)
      return text_outputs[c].data() + (text_outputs[c].size() - kTextOutputSize);
  return nullptr;
}

const std::vector<int>& BindArrays::counts(const InsertStatement& statement,
                                           const char* output) const {
  const std::vector<int>* named = int_output(statement, output);
  return named ? *named : numrows;
}

std::size_t BindArrays::bytes() const {
  std::size_t total = (numrows.capacity() + last_row_flags.capacity()) * sizeof(int);
  for (const auto& text : texts) total += text.capacity();
  for (const auto& flags : indicators) total += flags.capacity() * sizeof(sb2);
  for (const auto& value : values) total += value.capacity() * sizeof(int);
  for (const auto& output : outputs) total += output.capacity() * sizeof(int);
  for (const auto& output : text_outputs) total += output.capacity();
  return total;
}

}  // namespace ferrule
