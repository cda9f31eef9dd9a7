#pragma once

namespace tavora::controls {

// How the list reads the owner's row data, which it otherwise treats as opaque:
// the unusable flag for the row bands and the numbers of the columns that sort
// numerically (the file list's sizes, rates and channel counts).
class ReportRowReader {
public:
    virtual ~ReportRowReader() = default;

    // Whether the row's file cannot be converted. Never called with null.
    virtual bool IsUnusable(const void* data) const = 0;
    // Whether column sorts by SortNumber rather than by its text.
    virtual bool IsNumericColumn(int column) const = 0;
    // The row's number for a numeric column. Never called with null.
    virtual double SortNumber(const void* data, int column) const = 0;
};

// Used until the owner installs its own reader: row data starts with a signed
// 32-bit unusable flag (as the file list's entries do), and every column sorts
// by its text.
class LeadingFlagRowReader final : public ReportRowReader {
public:
    bool IsUnusable(const void* data) const override;
    bool IsNumericColumn(int) const override { return false; }
    double SortNumber(const void*, int) const override { return 0.0; }
};

} // namespace tavora::controls
