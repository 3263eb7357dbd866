#pragma once

#include "Communication/IProtocol.h"
#include "Communication/SettingsBase.h"

namespace ORLA {

// The connection a protocol runs on (not owned: it must outlive the protocol, and its creator
// opens and closes it) and the settings base.
class FENNEC_API CProtocolBase : public IProtocol, public CSettingsBase {
 public:
  explicit CProtocolBase(IConnection* connection) : m_pConnection(connection) {}
  CProtocolBase(const CProtocolBase&) = default;
  CProtocolBase& operator=(const CProtocolBase&) = default;

  void SetConnection(IConnection* connection) override { m_pConnection = connection; }
  IConnection* GetConnection() override { return m_pConnection; }

 protected:
  IConnection* m_pConnection;
};

}  // namespace ORLA
