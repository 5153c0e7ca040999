#!/usr/bin/python3
"""The LoadData benchmark's peer: a general-purpose SOAP toolkit (zeep, on lxml) fetching and
reading the same four answers from the same server, timed the same way (median of RUNS).

Usage: zeep_peer.py SERVER-NAME RUNS

Each run calls the four query operations through a client built once from the WSDL, parses
each returned data set with lxml and turns every row into a dict. It prints every run's time
("zeep runs ms: A B ...") and, last, "zeep median ms: N" for the benchmark to read.
"""
import sys
import time

import lxml.etree
import requests
import zeep
import zeep.transports

ENDPOINT = "/WebServices/TOVAWebservice/TOVAWebservice.asmx"
QUERIES = ("GetFacilities", "GetRelativeData", "GetDeliveryRoute", "GetStorageLocation")
TABLE = "./DataSet/{urn:schemas-microsoft-com:xml-diffgram-v1}diffgram/NewDataSet/Table"
PARSER = lxml.etree.XMLParser(huge_tree=True)


def client_for(server_name):
    session = requests.Session()
    session.trust_env = False  # loopback only, whatever proxy the environment names
    # The component takes its answers uncompressed; the peer must receive the same bytes.
    session.headers["Accept-Encoding"] = "identity"
    transport = zeep.transports.Transport(session=session, timeout=300)
    # The centers' answer is one text node of many megabytes, beyond lxml's default limit.
    settings = zeep.Settings(xml_huge_tree=True)
    return zeep.Client(server_name + ENDPOINT + "?WSDL", transport=transport, settings=settings)


def fetch_all(service):
    """The four answers as lists of row dicts, by operation."""
    answers = {}
    for operation in QUERIES:
        data_set = getattr(service, operation)()
        root = lxml.etree.fromstring(data_set.encode("utf-8"), PARSER)
        answers[operation] = [{column.tag: column.text or "" for column in row}
                              for row in root.iterfind(TABLE)]
    return answers


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    server_name, runs = sys.argv[1], int(sys.argv[2])
    started = time.perf_counter()
    service = client_for(server_name).service
    print(f"zeep client from the WSDL: {(time.perf_counter() - started) * 1000:.1f} ms")
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        answers = fetch_all(service)
        times.append((time.perf_counter() - started) * 1000)
    print("zeep rows: " + ", ".join(f"{op} {len(rows)}" for op, rows in answers.items()))
    # Every run, in order, for a caller that wants the warm ones only.
    print("zeep runs ms: " + " ".join(f"{t:.1f}" for t in times))
    # The upper median, as the benchmark takes it: the middle of the sorted times.
    times.sort()
    print(f"zeep median ms: {times[len(times) // 2]:.1f}")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # a failure's message can hold a whole answer: cut it short
        sys.exit(f"zeep peer failed: {type(error).__name__}: {str(error)[:300]}")
