// DirectPlay (DPERR_*) and DirectPlay 8 (DPNERR_*, DPNSUCCESS_*) status descriptions, sorted by code.
#include <dplay.h>
#include <dplay8.h>

#include "error_table.h"

namespace {

// DPERR_GENERIC, DPERR_INVALIDPARAMS, DPERR_NOINTERFACE, DPERR_OUTOFMEMORY, DPERR_PENDING and DPERR_UNSUPPORTED
// are COM codes and keep their COM text.
const ErrorText kDirectPlay[] = {
    {DPERR_ALREADYINITIALIZED, "This object is already initialized"},
    {DPERR_ACCESSDENIED, "The session is full or an incorrect password was supplied"},
    {DPERR_ACTIVEPLAYERS, "The requested operation cannot be performed because there are existing active players"},
    {DPERR_BUFFERTOOSMALL, "The supplied buffer is not large enough to contain the requested data"},
    {DPERR_CANTADDPLAYER, "The player cannot be added to the session"},
    {DPERR_CANTCREATEGROUP, "A new group cannot be created"},
    {DPERR_CANTCREATEPLAYER, "A new player cannot be created"},
    {DPERR_CANTCREATESESSION, "A new session cannot be created"},
    {DPERR_CAPSNOTAVAILABLEYET, "The capabilities of the DirectPlay object have not been determined yet"},
    {DPERR_EXCEPTION, "An exception occurred when processing the request"},
    {DPERR_INVALIDFLAGS, "The flags passed to this method are invalid"},
    {DPERR_INVALIDOBJECT, "The DirectPlay object pointer is invalid"},
    {DPERR_INVALIDPLAYER, "The player ID is not recognized as a valid player ID for this game session"},
    {DPERR_INVALIDGROUP, "The group ID is not recognized as a valid group ID for this game session"},
    {DPERR_NOCAPS, "The communication link that DirectPlay is attempting to use is not capable of this function"},
    {DPERR_NOCONNECTION, "No communication link was established"},
    {DPERR_NOMESSAGES, "There are no messages to be received"},
    {DPERR_NONAMESERVERFOUND, "No name server (host) could be found or created. A host must exist to create a "
                              "player"},
    {DPERR_NOPLAYERS, "There are no active players in the session"},
    {DPERR_NOSESSIONS, "There are no existing sessions for this game"},
    {DPERR_SENDTOOBIG, "The message being sent by the IDirectPlay::Send method is too large"},
    {DPERR_TIMEOUT, "The operation could not be completed in the specified time"},
    {DPERR_UNAVAILABLE, "The requested function is not available at this time"},
    {DPERR_BUSY, "A message cannot be sent because the transmission medium is busy"},
    {DPERR_USERCANCEL, "The user canceled the connection process during a call to the Open method"},
    {DPERR_CANNOTCREATESERVER, "The server cannot be created for the new session"},
    {DPERR_PLAYERLOST, "A player has lost the connection to the session"},
    {DPERR_SESSIONLOST, "The connection to the session has been lost"},
    {DPERR_UNINITIALIZED, "The requested object has not been initialized"},
    {DPERR_NONEWPLAYERS, "The session is not accepting any new players"},
    {DPERR_INVALIDPASSWORD, "An invalid password was supplied when attempting to join a session that requires a "
                            "password"},
    {DPERR_CONNECTING, "The method is in the process of connecting to the network"},
    {DPERR_CONNECTIONLOST, "The service provider connection was reset while data was being sent"},
    {DPERR_UNKNOWNMESSAGE, "The message type is not recognized"},
    {DPERR_CANCELFAILED, "The message could not be canceled, possibly because it is a group message that has "
                         "already been to sent to one or more members of the group"},
    {DPERR_INVALIDPRIORITY, "The specified priority is not within the range of allowed priorities, which is "
                            "inclusively 0-65535"},
    {DPERR_NOTHANDLED, "The message was not handled by a custom handler"},
    {DPERR_CANCELLED, "The operation was canceled"},
    {DPERR_ABORTED, "The operation was canceled before it could be completed"},
    {DPERR_BUFFERTOOLARGE, "The data buffer is too large to store"},
    {DPERR_CANTCREATEPROCESS, "Unable to start the application"},
    {DPERR_APPNOTSTARTED, "The application has not been started yet"},
    {DPERR_INVALIDINTERFACE, "The interface parameter is invalid"},
    {DPERR_NOSERVICEPROVIDER, "The service provider specified when connecting does not exist"},
    {DPERR_UNKNOWNAPPLICATION, "An unknown application was specified"},
    {DPERR_NOTLOBBIED, "Returned by the IDirectPlayLobby::Connect method if the application was not started by "
                       "using the IDirectPlayLobby::RunApplication method or if there is no DPLCONNECTION "
                       "structure currently initialized for this DirectPlayLobby object"},
    {DPERR_SERVICEPROVIDERLOADED, "The service provider has already been loaded"},
    {DPERR_ALREADYREGISTERED, "The application has already been registered"},
    {DPERR_NOTREGISTERED, "The application has not been registered"},
    {DPERR_AUTHENTICATIONFAILED, "The password or credentials supplied could not be authenticated"},
    {DPERR_CANTLOADSSPI, "No credentials were supplied and the Security Support Provider Interface (SSPI) that "
                         "will prompt for credentials cannot be loaded"},
    {DPERR_ENCRYPTIONFAILED, "The requested information could not be digitally encrypted. Encryption is used for "
                             "message privacy. This error is only relevant in a secure session"},
    {DPERR_SIGNFAILED, "The requested information could not be digitally signed. Digital signatures are used to "
                       "establish the authenticity of messages"},
    {DPERR_CANTLOADSECURITYPACKAGE, "The software security package cannot be loaded"},
    {DPERR_ENCRYPTIONNOTSUPPORTED, "The type of encryption requested in the DPSECURITYDESC structure is not "
                                   "available. This error is only relevant in a secure session"},
    {DPERR_CANTLOADCAPI, "The CryptoAPI (CAPI) cannot be loaded. This error is only relevant in a secure session"},
    {DPERR_NOTLOGGEDIN, "An action cannot be performed because a player or client application is not logged in. "
                        "Returned by the IDirectPlay3::Send method when the client application tries to send a "
                        "secure message without being logged in"},
    {DPERR_LOGONDENIED, "The session could not be opened because credentials are required and either no "
                        "credentials were supplied or the credentials were invalid"},
};

const ErrorText kDirectPlay8[] = {
    {DPNSUCCESS_EQUAL, "The two addresses are equal"},
    {DPNSUCCESS_NOTEQUAL, "The two addresses are not equal"},
    {DPNSUCCESS_PENDING, "An asynchronous operation has reached the point where it is successfully queued"},
    {DPNERR_ABORTED, "The operation was canceled before it could be completed"},
    {DPNERR_ADDRESSING, "The address specified is invalid"},
    {DPNERR_ALREADYCLOSING, "An attempt to call Close on a session has been made more than once"},
    {DPNERR_ALREADYCONNECTED, "The object is already connected to the session"},
    {DPNERR_ALREADYDISCONNECTING, "The client is already disconnecting from the session"},
    {DPNERR_ALREADYINITIALIZED, "The object has already been initialized"},
    {DPNERR_ALREADYREGISTERED, "The application has already been registered"},
    {DPNERR_BUFFERTOOSMALL, "The supplied buffer is not large enough to contain the requested data"},
    {DPNERR_CANNOTCANCEL, "The operation could not be canceled"},
    {DPNERR_CANTCREATEGROUP, "A new group cannot be created"},
    {DPNERR_CANTCREATEPLAYER, "A new player cannot be created"},
    {DPNERR_CANTLAUNCHAPPLICATION, "The lobby cannot launch the specified application"},
    {DPNERR_CONNECTING, "The method is in the process of connecting to the network"},
    {DPNERR_CONNECTIONLOST, "The service provider connection was reset while data was being sent"},
    {DPNERR_CONVERSION, "An error occurred while converting from one format to another"},
    {DPNERR_DATATOOLARGE, "The data is too large to be sent"},
    {DPNERR_DOESNOTEXIST, "Requested element is not part of the address"},
    {DPNERR_DPNSVRNOTAVAILABLE, "The DirectPlay server application is not available to respond to enumerations"},
    {DPNERR_DUPLICATECOMMAND, "A command was sent more than once, although it may only be sent once"},
    {DPNERR_ENDPOINTNOTRECEIVING, "The end point that was the target of the operation is not receiving"},
    {DPNERR_ENUMQUERYTOOLARGE, "The query data specified is too large"},
    {DPNERR_ENUMRESPONSETOOLARGE, "The response to an enumeration query is too large"},
    {DPNERR_EXCEPTION, "An exception occurred when processing the request"},
    {DPNERR_GROUPNOTEMPTY, "The specified group is not empty"},
    {DPNERR_HOSTING, "The attempted operation cannot be performed because the object is hosting the session"},
    {DPNERR_HOSTREJECTEDCONNECTION, "The host rejected the connection request"},
    {DPNERR_HOSTTERMINATEDSESSION, "The host has terminated the session"},
    {DPNERR_INCOMPLETEADDRESS, "The address specified is not complete"},
    {DPNERR_INVALIDADDRESSFORMAT, "Address format is invalid"},
    {DPNERR_INVALIDAPPLICATION, "The GUID supplied for the application is invalid"},
    {DPNERR_INVALIDCOMMAND, "The command specified is invalid"},
    {DPNERR_INVALIDDEVICEADDRESS, "The address for the local computer or adapter is invalid"},
    {DPNERR_INVALIDENDPOINT, "The end point specified does not exist"},
    {DPNERR_INVALIDFLAGS, "The flags passed to this method are invalid"},
    {DPNERR_INVALIDGROUP, "The group ID is not recognized as a valid group ID for this game session"},
    {DPNERR_INVALIDHANDLE, "The handle specified is invalid"},
    {DPNERR_INVALIDHOSTADDRESS, "The specified remote address is invalid"},
    {DPNERR_INVALIDINSTANCE, "The GUID for the application instance is invalid"},
    {DPNERR_INVALIDINTERFACE, "The interface parameter is invalid. This value will be returned in a connect "
                              "request if the connecting player was not a client in a client/server game or a "
                              "peer in a peer-to-peer game"},
    {DPNERR_INVALIDOBJECT, "The DirectPlay object pointer is invalid"},
    {DPNERR_INVALIDPASSWORD, "An invalid password was supplied when attempting to join a session that requires a "
                             "password"},
    {DPNERR_INVALIDPLAYER, "The player ID is not recognized as a valid player ID for this game session"},
    {DPNERR_INVALIDPRIORITY, "The specified priority is not within the range of allowed priorities, which is "
                             "inclusively 0-65535"},
    {DPNERR_INVALIDSTRING, "String specified is invalid"},
    {DPNERR_INVALIDURL, "Specified URL is not a valid DirectPlay URL"},
    {DPNERR_INVALIDVERSION, "There was an attempt to connect to an invalid version of DirectPlay"},
    {DPNERR_NOCAPS, "The communication link that DirectPlay is attempting to use is not capable of this "
                    "function"},
    {DPNERR_NOCONNECTION, "No communication link was established"},
    {DPNERR_NOHOSTPLAYER, "There is currently no player acting as the host of the session"},
    {DPNERR_NOMOREADDRESSCOMPONENTS, "There are no more components in the address"},
    {DPNERR_NORESPONSE, "There was no response from the specified target"},
    {DPNERR_NOTALLOWED, "The object is read-only; this property cannot be set"},
    {DPNERR_NOTHOST, "An attempt by the client to connect to a nonhost computer. Additionally, this error value "
                     "may be returned by a nonhost that tried to set the application description"},
    {DPNERR_NOTREADY, "The object is not ready for use"},
    {DPNERR_NOTREGISTERED, "The application has not been registered"},
    {DPNERR_PLAYERALREADYINGROUP, "The player ID is already included in the group"},
    {DPNERR_PLAYERLOST, "A player has lost the connection to the session"},
    {DPNERR_PLAYERNOTINGROUP, "The player ID specified is not a member of the group"},
    {DPNERR_PLAYERNOTREACHABLE, "The player specified is not reachable"},
    {DPNERR_SENDTOOLARGE, "The message being sent is too large"},
    {DPNERR_SESSIONFULL, "The request to connect to the host or server failed because the maximum number of "
                         "players allotted for the session has been reached"},
    {DPNERR_TABLEFULL, "The internal table is full"},
    {DPNERR_TIMEDOUT, "The operation could not complete because it has timed out"},
    {DPNERR_UNINITIALIZED, "The requested object has not been initialized"},
    {DPNERR_USERCANCEL, "The user canceled the operation"},
};

} // namespace

ERROR_TABLE(g_dplayErrors, "DirectPlay", kDirectPlay);
ERROR_TABLE(g_dplay8Errors, "DirectPlay 8", kDirectPlay8);
