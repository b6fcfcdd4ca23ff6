#pragma once

// A result as the driver hands it to the program: its columns' descriptions, its rows, and
// each value converted into the program's buffers as ODBC converts it.

#include <cstddef>
#include <string>
#include <vector>

#include "database/Value.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "testing/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {

// How a result column is described to the program.
struct ColumnDescription {
    std::string Name;
    SQLSMALLINT Type = SQL_WVARCHAR;
    SQLULEN Size = 255;
    SQLSMALLINT Digits = 0;
    SQLSMALLINT Nullable = SQL_NULLABLE_UNKNOWN;
    std::string TypeName = "VARCHAR";
    std::string Table;  // of a table's column; empty for an expression
};

// The description of an expression's column, by the first value it holds.
ColumnDescription DescribeByValues(const std::string& name,
                                   const std::vector<std::vector<Value>>& rows, std::size_t column);

ColumnDescription Described(std::string name, SQLSMALLINT type, SQLULEN size, std::string typeName,
                            SQLSMALLINT nullable = SQL_NULLABLE);

// The rows of a result and where the program is in them, read whole as the engine returns them.
class ResultSet {
  public:
    ResultSet(std::vector<ColumnDescription> columns, std::vector<std::vector<Value>> rows)
        : mColumns(std::move(columns)), mRows(std::move(rows)) {}

    const std::vector<ColumnDescription>& Columns() const { return mColumns; }
    const ColumnDescription& Column(SQLUSMALLINT number) const;  // 1-based; 07009 otherwise

    // The next row; false past the last.
    bool Fetch();
    // The value of a column in the current row, into the program's buffer as type. Text comes
    // in pieces when the buffer is short (SQL_SUCCESS_WITH_INFO, 01004) and SQL_NO_DATA follows
    // the last piece; a fixed-size value comes once.
    SQLRETURN GetData(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer, SQLLEN bufferLength,
                      SQLLEN* indicator, Diagnostics& diagnostics);

  private:
    std::vector<ColumnDescription> mColumns;
    std::vector<std::vector<Value>> mRows;
    std::size_t mNext = 0;  // the current row is mNext - 1
    // How much of which column GetData has handed out already.
    SQLUSMALLINT mPieceColumn = 0;
    std::size_t mPieceOffset = 0;
    bool mPieceDone = false;
};

}  // namespace almanoria::odbcdriver
