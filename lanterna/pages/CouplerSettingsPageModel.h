#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pages/PageParameter.h"

namespace lanterna {

// The parameter model under one settings page: it copies its registers from the table images
// into typed members, checks them against the INI ranges and copies them back. It holds no
// window; a front end binds its fields to Parameters(). The images belong to the dialog data;
// the page keeps non-owning views and edits them in place.
class CCouplerSettingsPageModel {
 public:
  explicit CCouplerSettingsPageModel(std::string section);
  virtual ~CCouplerSettingsPageModel() = default;
  CCouplerSettingsPageModel(const CCouplerSettingsPageModel&) = delete;
  CCouplerSettingsPageModel& operator=(const CCouplerSettingsPageModel&) = delete;

  // The INI section and page key ("TCPIP", "MODBUS", ...).
  const std::string& GetSection() const { return m_strSection; }

  // Whether the page belongs to the sheet of the connected device. A page taken out of the
  // sheet forgets the images, which it must not reach once the dialog reads another device.
  bool IsPageUsed() const { return m_bPageUsed; }
  void SetPageUsed(bool used);

  const std::string& ArticleNo() const { return m_strArticleNo; }
  virtual void SetArticleNo(std::string articleNo) { m_strArticleNo = std::move(articleNo); }

  // Keeps the table-0 image and the device kind; starts no read.
  void SetCplTable(std::span<std::uint16_t> table, bool is32, bool isPFC);
  // Keeps the table-100 image and the device kind and reads the page's registers. An image too
  // short for them leaves the page unloaded and gives false.
  bool SetEthTable(std::span<std::uint16_t> table, bool is32, bool isPFC);
  // Reads the page's registers again from the images it keeps, as a page does when it is shown.
  bool ReloadFromImage() { return SetEthTable(m_ethTable, m_bIs32, m_bIsPFC); }
  bool IsLoaded() const { return m_bLoaded; }

  bool Is32() const { return m_bIs32; }
  bool IsPFC() const { return m_bIsPFC; }

  // Copies the page's values into the images (also when they fail the check) and returns the
  // check's failure. A page that is not used or not loaded commits nothing and passes.
  std::optional<ValidationFailure> CommitSettings();
  virtual std::optional<ValidationFailure> ValidateSettings() const { return std::nullopt; }

  const std::vector<std::unique_ptr<CPageParameter>>& Parameters() const { return m_parameters; }
  CPageParameter* FindParameter(std::string_view key) const;

 protected:
  // How many words of each image the page needs for the generation in use.
  virtual std::size_t EthWordsNeeded() const { return 0; }
  virtual std::size_t CplWordsNeeded() const { return 0; }
  virtual void ReadSettings() {}
  virtual void WriteSettings() {}

  std::span<std::uint16_t> EthTable() const { return m_ethTable; }
  std::span<std::uint16_t> CplTable() const { return m_cplTable; }

  template <class Parameter, class... Arguments>
  Parameter& AddParameter(ParameterInfo info, Arguments&&... arguments) {
    auto parameter = std::make_unique<Parameter>(*this, std::move(info), std::forward<Arguments>(arguments)...);
    Parameter& added = *parameter;
    m_parameters.push_back(std::move(parameter));
    return added;
  }

  // The first failure of the fields, checked in the page's order.
  static std::optional<ValidationFailure> FirstFailure(std::initializer_list<const CNumberParameter*> fields);

 private:
  std::string m_strSection;
  bool m_bPageUsed = false;
  std::string m_strArticleNo;
  std::span<std::uint16_t> m_ethTable;
  std::span<std::uint16_t> m_cplTable;
  bool m_bIs32 = false;
  bool m_bIsPFC = false;
  bool m_bLoaded = false;
  std::vector<std::unique_ptr<CPageParameter>> m_parameters;
};

}  // namespace lanterna
