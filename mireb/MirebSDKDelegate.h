#pragma once

class MRBaseRequest;
class MRBaseResponse;

// Receives what the Mireb app sends back to this application.
class MirebSDKDelegate {
public:
    virtual ~MirebSDKDelegate() = default;
    virtual void didReceiveMirebRequest(const MRBaseRequest& request) = 0;
    virtual void didReceiveMirebResponse(const MRBaseResponse& response) = 0;
};
